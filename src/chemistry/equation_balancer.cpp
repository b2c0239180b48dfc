#include "chemistry/equation_balancer.h"

#include <algorithm>
#include <cstdlib>

#include "runtime/failure.h"

namespace ostravel {
namespace {

using Vector = std::vector<Rational>;
using Matrix = std::vector<Vector>;

constexpr const char* kChargeKey = "";  // the row of the charge among the atom rows

// One row per kind of atom (in the order they first occur) and, when any species is charged,
// one for the charge; one column per species. Products count negatively, so that a balance
// is a vector of positive coefficients that the matrix maps to zero.
Matrix ConservationMatrix(const std::vector<ReactionSpecies>& species,
                          std::vector<std::string>& keys) {
  Matrix rows;
  auto rowOf = [&](const std::string& key) -> Vector& {
    auto found = std::find(keys.begin(), keys.end(), key);
    if (found != keys.end()) return rows[found - keys.begin()];
    keys.push_back(key);
    rows.emplace_back(species.size());
    return rows.back();
  };
  for (std::size_t j = 0; j < species.size(); ++j) {
    const Rational side = species[j].Product ? -1 : 1;
    for (const auto& [key, count] : species[j].Atoms) {
      Vector& row = rowOf(key);
      row[j] = row[j] + count * side;
    }
  }
  for (std::size_t j = 0; j < species.size(); ++j) {
    if (!species[j].Charge.IsZero()) {
      Vector& row = rowOf(kChargeKey);
      row[j] = row[j] + species[j].Charge * (species[j].Product ? -1 : 1);
    }
  }
  return rows;
}

// A row whose entries are all of one sign can only be conserved by leaving out every species
// it touches: the element occurs on one side only, or the charges cannot match.
std::string OneSidedRow(const Matrix& rows, const std::vector<std::string>& keys) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    bool positive = false;
    bool negative = false;
    for (const Rational& value : rows[i]) {
      positive = positive || value.Sign() > 0;
      negative = negative || value.Sign() < 0;
    }
    if (positive == negative) continue;
    if (keys[i] == kChargeKey) {
      return "The equation cannot be balanced: the charges of its two sides can never be equal.";
    }
    return "The equation cannot be balanced: " + keys[i] + " occurs only on the " +
           (positive ? "left" : "right") + " side.";
  }
  return {};
}

// Reduced row echelon form in place; returns the pivot column of each nonzero row.
std::vector<std::size_t> RowReduce(Matrix& m, std::size_t columns) {
  std::vector<std::size_t> pivots;
  std::size_t row = 0;
  for (std::size_t col = 0; col < columns && row < m.size(); ++col) {
    std::size_t pick = row;
    while (pick < m.size() && m[pick][col].IsZero())
      ++pick;
    if (pick == m.size()) continue;
    std::swap(m[row], m[pick]);
    const Rational pivot = m[row][col];
    for (Rational& value : m[row])
      value = value / pivot;
    for (std::size_t r = 0; r < m.size(); ++r) {
      if (r == row || m[r][col].IsZero()) continue;
      const Rational factor = m[r][col];
      for (std::size_t c = col; c < columns; ++c)
        m[r][c] = m[r][c] - factor * m[row][c];
    }
    pivots.push_back(col);
    ++row;
  }
  return pivots;
}

// The smallest whole multiple of a rational vector, oriented so that most of its nonzero
// entries (or, at a tie, the first) are positive.
std::vector<std::int64_t> WholeNumbers(const Vector& v) {
  std::int64_t common = 1;
  for (const Rational& value : v)
    common = Lcm(common, value.den());
  std::vector<std::int64_t> whole;
  std::int64_t divisor = 0;
  for (const Rational& value : v) {
    whole.push_back((value * common).num());
    divisor = Gcd(divisor, whole.back());
  }
  int balance = 0;
  int first = 0;
  for (std::int64_t& n : whole) {
    n /= divisor == 0 ? 1 : divisor;
    balance += (n > 0) - (n < 0);
    if (first == 0) first = (n > 0) - (n < 0);
  }
  if (balance < 0 || (balance == 0 && first < 0)) {
    for (std::int64_t& n : whole)
      n = -n;
  }
  return whole;
}

// One basis vector of the null space per free column of the reduced matrix.
std::vector<std::vector<std::int64_t>> NullSpace(const Matrix& reduced,
                                                 const std::vector<std::size_t>& pivots,
                                                 std::size_t columns) {
  std::vector<std::vector<std::int64_t>> basis;
  for (std::size_t free = 0; free < columns; ++free) {
    if (std::find(pivots.begin(), pivots.end(), free) != pivots.end()) continue;
    Vector v(columns);
    v[free] = 1;
    for (std::size_t i = 0; i < pivots.size(); ++i)
      v[pivots[i]] = -reduced[i][free];
    basis.push_back(WholeNumbers(v));
  }
  return basis;
}

std::string NamesWhere(const std::vector<ReactionSpecies>& species,
                       const std::vector<std::int64_t>& coefficients, bool (*test)(std::int64_t)) {
  std::string names;
  for (std::size_t j = 0; j < species.size(); ++j) {
    if (!test(coefficients[j])) continue;
    if (!names.empty()) names += ", ";
    names += species[j].Text;
  }
  return names;
}

void DescribeOneBalance(const std::vector<ReactionSpecies>& species, std::string_view arrow,
                        BalanceResult& result) {
  const auto& c = result.Coefficients;
  const std::string equation = ReactionText(species, c, arrow);
  if (std::any_of(c.begin(), c.end(), [](std::int64_t n) { return n == 0; })) {
    result.Outcome = BalanceOutcome::SpeciesAbsent;
    result.Message = "The equation cannot be balanced with every species taking part: " +
                     NamesWhere(species, c, [](std::int64_t n) { return n == 0; }) +
                     " would have the coefficient 0. What balances is " + equation + ".";
  } else if (std::any_of(c.begin(), c.end(), [](std::int64_t n) { return n < 0; })) {
    result.Outcome = BalanceOutcome::WrongSide;
    result.Message = "The equation cannot be balanced as written: it balances only with " +
                     NamesWhere(species, c, [](std::int64_t n) { return n < 0; }) +
                     " on the other side, as " + equation + ".";
  } else {
    result.Outcome = BalanceOutcome::Balanced;
  }
}

}  // namespace

BalanceResult BalanceReaction(const std::vector<ReactionSpecies>& species, std::string_view arrow) {
  BalanceResult result;
  try {
    std::vector<std::string> keys;
    Matrix m = ConservationMatrix(species, keys);
    result.Message = OneSidedRow(m, keys);
    if (!result.Message.empty()) return result;
    const std::vector<std::size_t> pivots = RowReduce(m, species.size());
    std::vector<std::vector<std::int64_t>> basis = NullSpace(m, pivots, species.size());
    if (basis.empty()) {
      result.Message =
          "The equation cannot be balanced: no coefficients but 0 keep every element and the "
          "charge equal on both sides.";
    } else if (basis.size() == 1) {
      result.Coefficients = std::move(basis.front());
      DescribeOneBalance(species, arrow, result);
    } else {
      result.Outcome = BalanceOutcome::NotUnique;
      result.Message = "The equation has " + std::to_string(basis.size()) +
                       " independent balances, so its atoms alone do not fix the coefficients; "
                       "every balance is a combination of";
      for (std::size_t i = 0; i < basis.size(); ++i) {
        result.Message += (i == 0 ? " " : i + 1 == basis.size() ? " and " : ", ");
        result.Message += ReactionText(species, basis[i], arrow);
      }
      result.Message += ".";
      result.Basis = std::move(basis);
    }
  } catch (const RunFailure&) {
    result = BalanceResult{};
    result.Message =
        "The equation cannot be balanced exactly: its numbers outgrow 64-bit fractions.";
  }
  return result;
}

std::string ReactionText(const std::vector<ReactionSpecies>& species,
                         const std::vector<std::int64_t>& coefficients, std::string_view arrow) {
  std::string sides[2];
  // The species that stay on their side first, then those that move, each in written order.
  for (bool moved : {false, true}) {
    for (std::size_t j = 0; j < species.size() && j < coefficients.size(); ++j) {
      const std::int64_t c = coefficients[j];
      if (c == 0 || (c < 0) != moved) continue;
      std::string& side = sides[(c > 0) == species[j].Product ? 1 : 0];
      if (!side.empty()) side += " + ";
      const std::uint64_t magnitude = c < 0 ? 0 - static_cast<std::uint64_t>(c) : c;
      if (magnitude != 1) side += std::to_string(magnitude) + " ";
      side += species[j].Text;
    }
  }
  for (std::string& side : sides) {
    if (side.empty()) side = "0";
  }
  return sides[0] + " " + std::string(arrow) + " " + sides[1];
}

}  // namespace ostravel
