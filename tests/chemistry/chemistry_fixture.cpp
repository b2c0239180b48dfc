#include "chemistry/chemistry_fixture.h"

#include <filesystem>
#include <stdexcept>

#include "chemistry/formula_parser.h"
#include "chemistry/term_expansion.h"

namespace ostravel::testing {

const std::vector<std::pair<std::string, double>>& AbridgedWeights() {
  static const std::vector<std::pair<std::string, double>> table = {
      {"H", 1.008},   {"He", 4.0026}, {"Li", 6.94},   {"Be", 9.0122}, {"B", 10.81},
      {"C", 12.011},  {"N", 14.007},  {"O", 15.999},  {"F", 18.998},  {"Ne", 20.180},
      {"Na", 22.990}, {"Mg", 24.305}, {"Al", 26.982}, {"Si", 28.085}, {"P", 30.974},
      {"S", 32.06},   {"Cl", 35.45},  {"Ar", 39.95},  {"K", 39.098},  {"Ca", 40.078},
      {"Sc", 44.956}, {"Ti", 47.867}, {"V", 50.942},  {"Cr", 51.996}, {"Mn", 54.938},
      {"Fe", 55.845}, {"Co", 58.933}, {"Ni", 58.693}, {"Cu", 63.546}, {"Zn", 65.38},
      {"Ga", 69.723}, {"Ge", 72.630}, {"As", 74.922}, {"Se", 78.971}, {"Br", 79.904},
      {"Kr", 83.798}, {"Rb", 85.468}, {"Sr", 87.62},  {"Y", 88.906},  {"Zr", 91.224},
      {"Nb", 92.906}, {"Mo", 95.95},  {"Tc", 97},     {"Ru", 101.07}, {"Rh", 102.91},
      {"Pd", 106.42}, {"Ag", 107.87}, {"Cd", 112.41}, {"In", 114.82}, {"Sn", 118.71},
      {"Sb", 121.76}, {"Te", 127.60}, {"I", 126.90},  {"Xe", 131.29}, {"Cs", 132.91},
      {"Ba", 137.33}, {"La", 138.91}, {"Ce", 140.12}, {"Pr", 140.91}, {"Nd", 144.24},
      {"Pm", 145},    {"Sm", 150.36}, {"Eu", 151.96}, {"Gd", 157.25}, {"Tb", 158.93},
      {"Dy", 162.50}, {"Ho", 164.93}, {"Er", 167.26}, {"Tm", 168.93}, {"Yb", 173.05},
      {"Lu", 174.97}, {"Hf", 178.49}, {"Ta", 180.95}, {"W", 183.84},  {"Re", 186.21},
      {"Os", 190.23}, {"Ir", 192.22}, {"Pt", 195.08}, {"Au", 196.97}, {"Hg", 200.59},
      {"Tl", 204.38}, {"Pb", 207.2},  {"Bi", 208.98}, {"Po", 209},    {"At", 210},
      {"Rn", 222},    {"Fr", 223},    {"Ra", 226},    {"Ac", 227},    {"Th", 232.04},
      {"Pa", 231.04}, {"U", 238.03},  {"Np", 237},    {"Pu", 244},    {"Am", 243},
      {"Cm", 247},    {"Bk", 247},    {"Cf", 251},    {"Es", 252},    {"Fm", 257},
      {"Md", 258},    {"No", 259},    {"Lr", 262},    {"Rf", 267},    {"Db", 268},
      {"Sg", 269},    {"Bh", 270},    {"Hs", 269},    {"Mt", 278},    {"Ds", 281},
      {"Rg", 282},    {"Cn", 285},    {"Nh", 286},    {"Fl", 289},    {"Mc", 290},
      {"Lv", 293},    {"Ts", 294},    {"Og", 294},
  };
  return table;
}

ChemistryTest::ChemistryTest() {
  s.db.ProgramFolder = dir.path().string();
  s.db.MainIniFile = dir.File("TOLVANE.INI");
  s.db.ContribIniFile = dir.File("TOLVANEC.INI");
  s.db.PermIniFile = dir.File("TOLVANEP.INI");
  s.db.IniFile = s.db.MainIniFile;
  SetElements(AbridgedWeights());
  database.Set("Options", "Default Significant Digits", "0")
      .Category("Constants", "F(X)")
      .Avogadro()
      .Entry("Constants", "Physical", "GLU", "C6H12O6|glucose")
      .Entry("Constants", "Physical", "TWOR", "2*<R>")
      .Entry("Constants", "Physical", "SELF", "<SELF>+1")
      .Entry("Constants", "Physical", "LOOPA", "<LOOPB>*2")
      .Entry("Constants", "Physical", "LOOPB", "<LOOPA>/2")
      .Entry("Constants", "F(X)", "SQ(X)", "X^2")
      .Category("Contributed", "Mine", "KS|me@example.org")
      .Category("Contributed", "Extra", "|me@example.org")
      .Entry("Contributed", "Mine", "PX", "7.5")
      .Entry("Contributed", "Extra", "MYC", "42");
  s.lists.ConstCategories = std::string("Physical\0Ksp\0F(X)\0\0", 20);
  s.lists.ContribCategories = std::string("Mine\0Extra\0\0", 12);
  SetRadicals(
      {
          {"Me", "CH3"},
          {"Et", "C2H5"},
          {"Ph", "C6H5"},
          {"Ac", "CH3CO"},
          {"MeO", "Xe"},  // never the shortest match for MeOH
          {"tBu", "C4H9"},
          {"Bn", "PhCH2"},
          {"Rr", "RrH"},
          {"Qa", "Qb"},
          {"Qb", "QaH"},
          {"Nq", ""},
      },
      {
          {"Bz", "C6H5CO"},
          {"Co", "CH3"},  // the name of an element: never used
          {"Et", "H"},    // also a constants radical, which wins
          {"Zq", "CH2"},
      });
}

void ChemistryTest::SetElements(const std::vector<std::pair<std::string, double>>& table) {
  s.elements.ElementSymbols.assign(1, ' ');  // not = " ": GCC 12 warns wrongly of an overlap
  s.elements.AtomWeight.fill(0);
  int z = 0;
  for (const auto& [symbol, weight] : table) {
    s.elements.ElementSymbols += (symbol + "  ").substr(0, 2);
    if (++z <= kMaxElements) s.elements.AtomWeight[z] = weight;  // the table holds 150
  }
}

void ChemistryTest::SetRadicals(
    const std::vector<std::pair<std::string, std::string>>& constants,
    const std::vector<std::pair<std::string, std::string>>& contributed) {
  database.Remove("Constants-Radicals").Remove("Contributed-Radicals");
  std::string keys(1, '\0');
  for (const auto& [name, formula] : constants) {
    keys += name + '\0';
    database.Radical(name, formula);
  }
  keys += '\0';
  s.lists.RadicalSplit = static_cast<int>(keys.size());
  keys += '\0';
  for (const auto& [name, formula] : contributed) {
    keys += name + '\0';
    database.ContributedRadical(name, formula);
  }
  keys += '\0';
  s.lists.RadicalKeys = keys;
  database.Write(dir);
}

void ChemistryTest::UseDeliveredDatabase() {
  for (const char* name : {"TOLVANE.INI", "TOLVANEC.INI", "ISOTOPES.TXT"}) {
    std::filesystem::copy_file(std::filesystem::path(OSTRAVEL_DATA_DIR) / name, dir.path() / name,
                               std::filesystem::copy_options::overwrite_existing);
  }
  LoadProgramFolder(dir, s);
}

double ChemistryTest::W(std::string_view symbol) const {
  std::string slot = (std::string(symbol) + "  ").substr(0, 2);
  const std::string& symbols = s.elements.ElementSymbols;
  for (std::size_t z = 1; 2 * z + 1 <= symbols.size(); ++z) {
    if (symbols.compare(2 * z - 1, 2, slot) == 0) return s.elements.AtomWeight.at(z);
  }
  throw std::invalid_argument("no element " + slot);
}

double ChemistryTest::Sum(const AtomCounts& atoms) const {
  double total = 0;
  for (const auto& [symbol, count] : atoms)
    total += count * W(symbol);
  return total;
}

double ChemistryTest::Mass(const std::string& formula) {
  s.calc.CalcKind = CalcKind::Form;
  return FormulaMass(s, formula);
}

void ChemistryTest::Expand(const std::string& text) {
  s.calc.ExpansionMark = 0;
  s.calc.ResultLabel = text;
  s.calc.CalcText = text;
  ExpandTerms(s);
}

}  // namespace ostravel::testing
