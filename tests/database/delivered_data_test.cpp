// The delivered database read and written through the access routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

#include "chemistry/formula_parser.h"
#include "database/ini_access.h"
#include "database/key_lists.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "session/session.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"
#include "support/test_database.h"

namespace ostravel {
namespace {

class DeliveredData : public ::testing::Test {
 protected:
  DeliveredData() : s(ui) {
    for (const char* name : {"TOLVANE.INI", "TOLVANEC.INI"}) {
      dir.Write(name, testing::ReadFileBytes(std::string(OSTRAVEL_DATA_DIR) + "/" + name));
    }
    testing::LoadProgramFolder(dir, s);
  }

  testing::TempDir dir;
  testing::RecordingPlatform ui;
  Session s;
};

TEST_F(DeliveredData, LoadsOptionsElementsAndCategories) {
  EXPECT_EQ(s.format.SigDigits, 4);
  EXPECT_EQ(s.db.QuickUrl, "");
  EXPECT_EQ(s.elements.ElementSymbols.substr(0, 7), " H HeLi");
  EXPECT_EQ(s.elements.ElementSymbols.size(), 1u + 2 * 118);
  EXPECT_GT(s.lists.ConstCount, 5);
  EXPECT_GT(s.lists.ExampleCount, 5);
  EXPECT_EQ(s.lists.ContribCount, 0);
  EXPECT_NE(s.lists.RadicalKeys.find(std::string("\0Ph\0", 4)), std::string::npos);
}

TEST_F(DeliveredData, EveryCategoryShowsAllItsEntries) {
  for (int i = 1; i <= s.lists.ConstCount; ++i) {
    mnuConst_Click(s, i);
    const std::string keys = IniGetKeys(s, "Constants-" + s.lists.CurCategory);
    EXPECT_FALSE(keys.empty()) << s.lists.CurCategory;
    EXPECT_EQ(s.window.lstKey.Items.size(),
              static_cast<std::size_t>(std::count(keys.begin(), keys.end(), '\0')))
        << s.lists.CurCategory;
  }
}

TEST_F(DeliveredData, WritingAndUndoingRestoresEveryByte) {
  const std::string original = dir.Read("TOLVANE.INI");
  mnuConst_Click(s, 1);
  const std::string category = s.lists.CurCategory;
  std::string keys = IniGetKeys(s, "Constants-" + category);
  const std::string first = PopListItem(keys);
  const std::string raw =
      *s.db.Profiles.Read(s.db.MainIniFile)->Find("Constants-" + category, first);

  ASSERT_TRUE(IniPutEntry(s, "Constants", category, "NEWKEY", "1|new"));
  ASSERT_TRUE(IniPutEntry(s, "Constants", category, first, "2|changed"));
  EXPECT_NE(dir.Read("TOLVANE.INI"), original);
  ASSERT_TRUE(IniPutEntry(s, "Constants", category, "NEWKEY", kNul));
  ASSERT_TRUE(IniPutEntry(s, "Constants", category, first, raw));
  EXPECT_EQ(dir.Read("TOLVANE.INI"), original);
}

// The value of a constant of the category "Physical Constants", and its description.
struct Constant {
  double value;
  std::string description;
};

TEST_F(DeliveredData, MeasuredConstantsAreCodata2022AndSaySo) {
  const auto get = [this](const char* key) {
    Constant c;
    c.value = LeadingNumber(IniGetEntry(s, "Constants", "Physical Constants", key, &c.description));
    return c;
  };
  const struct {
    const char* key;
    double value;
  } rows[] = {
      {"G", 6.67430E-11},        {"me", 9.1093837139E-31},  {"mp", 1.67262192595E-27},
      {"mn", 1.67492750056E-27}, {"u", 1.66053906892E-27},  {"eps0", 8.8541878188E-12},
      {"mu0", 1.25663706127E-6}, {"a0", 5.29177210544E-11}, {"alpha", 7.2973525643E-3},
      {"Rinf", 10973731.568157}, {"muB", 9.2740100657E-24}, {"muN", 5.0507837393E-27},
  };
  for (const auto& row : rows) {
    const Constant c = get(row.key);
    EXPECT_EQ(c.value, row.value) << row.key;
    EXPECT_NE(c.description.find("CODATA 2022"), std::string::npos) << row.key;
  }
  // No description speaks of the values of an older adjustment.
  EXPECT_EQ(dir.Read("TOLVANE.INI").find("CODATA 2018"), std::string::npos);

  // The measured constants hang together as the adjustment made them: a digit typed wrong
  // breaks one of these relations far beyond the rounding of the stored values.
  const double pi = std::acos(-1.0);
  const double h = get("h").value, c = get("c").value, e = get("e").value, NA = get("NA").value;
  const double hbar = h / (2 * pi), alpha = get("alpha").value, me = get("me").value;
  const double mu0 = get("mu0").value, Rinf = get("Rinf").value;
  const double hartree = LeadingNumber(IniGetEntry(s, "Constants", "Unit Conversions", "hartree"));
  const struct {
    const char* relation;
    double left, right;
  } relations[] = {
      {"mu0 = 2 alpha h / (e^2 c)", mu0, 2 * alpha * h / (e * e * c)},
      {"eps0 = 1 / (mu0 c^2)", get("eps0").value, 1 / (mu0 * c * c)},
      {"a0 = hbar / (me c alpha)", get("a0").value, hbar / (me * c * alpha)},
      {"Rinf = alpha^2 me c / (2 h)", Rinf, alpha * alpha * me * c / (2 * h)},
      {"muB = e hbar / (2 me)", get("muB").value, e * hbar / (2 * me)},
      {"muN = e hbar / (2 mp)", get("muN").value, e * hbar / (2 * get("mp").value)},
      {"hartree = 2 Rinf h c", hartree, 2 * Rinf * h * c},
      {"hartreemol = hartree NA",
       LeadingNumber(IniGetEntry(s, "Constants", "Unit Conversions", "hartreemol")), hartree * NA},
      {"me / u is the electron's relative mass", me / get("u").value, 5.485799090441E-4},
      {"mn / u is the neutron's relative mass", get("mn").value / get("u").value, 1.00866491606},
  };
  for (const auto& r : relations)
    EXPECT_NEAR(r.left / r.right, 1, 2e-10) << r.relation;
}

TEST_F(DeliveredData, RadicalsChemistsTypeReadAsMeantWithTheOptionOnAndOff) {
  const struct {
    const char* formula;
    bool radicals;     // the option "Expand Radical such as 'Ac'"
    const char* same;  // a formula of the same mass; nullptr when it must fail
  } rows[] = {
      {"iPrOH", true, "CH(CH3)2OH"},  {"iPrOH", false, "CH(CH3)2OH"},
      {"nPrOH", true, "C3H7OH"},      {"nPrOH", false, "C3H7OH"},
      {"nBuLi", true, "C4H9Li"},      {"nBuLi", false, "C4H9Li"},
      {"tBuOK", true, "C(CH3)3OK"},   {"tBuOK", false, "C(CH3)3OK"},
      {"(iPr)2NH", true, "C6H15N"},   {"iPr2O", true, "C6H14O"},
      {"TsCl", true, "CH3C6H4SO2Cl"}, {"TsCl", false, "TsCl"},  // tennessine chloride
      {"OTs", true, "OSO2C6H4CH3"},   {"C6H5iPr", true, "C9H12"},
      {"TBuOH", true, nullptr},  // tert-butyl is written tBu
  };
  for (const auto& row : rows) {
    s.flags.ExpandRadicals = row.radicals;
    const std::string name = std::string(row.formula) + (row.radicals ? " (on)" : " (off)");
    if (row.same == nullptr) {
      s.calc.CalcKind = CalcKind::Form;
      EXPECT_THROW(FormulaMass(s, row.formula), RunFailure) << name;
      continue;
    }
    s.calc.CalcKind = CalcKind::Form;
    const double mass = FormulaMass(s, row.formula);
    s.flags.ExpandRadicals = false;
    s.calc.CalcKind = CalcKind::Form;
    double expected = FormulaMass(s, row.same);
    if (std::string(row.same) == "TsCl")
      expected = s.elements.AtomWeight[117] + s.elements.AtomWeight[17];
    EXPECT_NEAR(mass, expected, 1e-9) << name;
    EXPECT_GT(mass, 0) << name;
  }
  // Tosyl and tennessine differ: the option decides.
  s.flags.ExpandRadicals = true;
  s.calc.CalcKind = CalcKind::Form;
  const double tosyl = FormulaMass(s, "Ts");
  EXPECT_NEAR(tosyl, 155.19, 0.01);
}

}  // namespace
}  // namespace ostravel
