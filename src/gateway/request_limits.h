// What one web request may ask of the gateway. The single gateway answers one request at a
// time, so each limit keeps a request short enough that the others are answered promptly.
// A request over a limit is answered with an error that names the limit (docs/gateway.md).
#pragma once

#include <chrono>
#include <cstddef>

#include "database/ini_access.h"

namespace ostravel::limits {

// Calculation requests.
inline constexpr int kCalculations = 1000;  // calculations (pieces between ";") in one line
inline constexpr std::chrono::milliseconds kCalculationTime{500};

// Change requests.
inline constexpr int kDefinitionLines = 1000;
inline constexpr std::size_t kCategory = 60;  // characters of a category name
inline constexpr std::size_t kName = 40;      // of a value's name
inline constexpr std::size_t kPrefix = 16;    // of a category's prefix
// A definition (value, "|", description) is read back whole only up to this length.
inline constexpr std::size_t kDefinition = kMaxEntryLength;
inline constexpr std::size_t kUserName = 100;
inline constexpr std::size_t kAddress = 254;  // the longest e-mail address there is
inline constexpr std::size_t kPassword = 256;

}  // namespace ostravel::limits
