// Characters typed with a plain meaning are written plainly before the calculation is read.
#include "runtime/typed_text.h"

#include <gtest/gtest.h>

namespace ostravel {
namespace {

TEST(PlainEntryTextTest, TypedSignsBecomeThePlainCharactersTheyMean) {
  struct Row {
    const char* name;
    const char* typed;
    const char* plain;
  };
  const Row rows[] = {
      {"isotope label",
       "\xc2\xb9\xc2\xb3"
       "CO\xe2\x82\x82",
       "^13CO2"},
      {"Latin-1 superscripts",
       "\xb9\xb3"
       "CO2",
       "^13CO2"},
      {"charge after subscripts", "SO\xe2\x82\x84\xc2\xb2\xe2\x81\xbb", "SO4^2-"},
      {"charge of a cation", "Fe\xc2\xb3\xe2\x81\xba", "Fe^3+"},
      {"single sign", "Cl\xe2\x81\xbb", "Cl^-"},
      {"every superscript digit",
       "x\xe2\x81\xb0\xc2\xb9\xc2\xb2\xc2\xb3\xe2\x81\xb4\xe2\x81\xb5\xe2\x81\xb6\xe2\x81\xb7"
       "\xe2\x81\xb8\xe2\x81\xb9",
       "x^0123456789"},
      {"power", "3\xc2\xb2+1", "3^2+1"},
      {"negative power of ten", "10\xe2\x81\xbb\xc2\xb3", "10^-3"},
      {"two runs, two carets",
       "\xc2\xb9\xc2\xb3"
       "CH3\xc2\xb9\xc2\xb3"
       "CH3",
       "^13CH3^13CH3"},
      {"label and charge", "\xc2\xb9\xe2\x81\xb5NH\xe2\x82\x84\xe2\x81\xba", "^15NH4^+"},
      {"subscripts stay digits", "H\xe2\x82\x82O", "H2O"},
      {"a bullet between formulas is a hydrate mark",
       "CuSO4\xe2\x80\xa2"
       "5H2O",
       "CuSO4(.)5H2O"},
      {"x between numbers multiplies", "2x3", "2*3"},
      {"x after a group", "(1+2) x 3", "(1+2) * 3"},
      {"x10 without blanks is a power of ten", "6.022x10^23", "6.022E23"},
      {"capital X multiplies only between blanks", "2 X 3", "2 * 3"},
      {"capital X may be a radical", "C6H4X2", "C6H4X2"},
      {"x before a sum is the unknown", "3x+1", "3x+1"},
      {"x in a constant's name stays", "<K2x3>*2", "<K2x3>*2"},
      {"other characters stay", "5\xc2\xb5L", "5\xc2\xb5L"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PlainEntryText(row.typed), row.plain) << row.name;
  }
}

}  // namespace
}  // namespace ostravel
