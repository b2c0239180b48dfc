// A session with an element table and small databases of radicals and constants, for the
// tests of the chemistry.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "session/session.h"
#include "support/code_printers.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"
#include "support/test_database.h"

namespace ostravel::testing {

// Standard atomic weights (IUPAC, abridged to five significant digits or the mass number of
// the longest-lived isotope), in the order of atomic number.
const std::vector<std::pair<std::string, double>>& AbridgedWeights();

// Number of atoms of an element in a formula, written by hand.
using AtomCounts = std::vector<std::pair<std::string, double>>;

class ChemistryTest : public ::testing::Test {
 protected:
  ChemistryTest();

  // Fills the element table from symbol/weight pairs in atomic-number order.
  void SetElements(const std::vector<std::pair<std::string, double>>& table);
  // The radical names, constants ones first; also writes their values into the databases,
  // in place of the radicals they held.
  void SetRadicals(const std::vector<std::pair<std::string, std::string>>& constants,
                   const std::vector<std::pair<std::string, std::string>>& contributed);
  // Copies the delivered databases into the test's folder and loads them as at start-up.
  void UseDeliveredDatabase();

  // The weight of an element by its symbol, from the table in use.
  double W(std::string_view symbol) const;
  // Sum of count x weight.
  double Sum(const AtomCounts& atoms) const;
  // FormulaMass as the driver calls it: CalcKind Form first.
  double Mass(const std::string& formula);
  // ExpandTerms on a calculation, as the driver prepares it.
  void Expand(const std::string& text);

  RecordingPlatform ui;
  Session s{ui};
  TempDir dir;
  // The shared test database with the constants the chemistry looks up: a function category,
  // constants that refer to others or to themselves, and two contributed categories. A test that
  // changes it writes it again with database.Write(dir).
  TestDatabase database;
};

}  // namespace ostravel::testing
