#include "runtime/utf8_output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace ostravel {
namespace {

TEST(Utf8Output, TextsBecomeUtf8AndJsonStrings) {
  const struct {
    const char* name;
    std::string text;
    std::string utf8;
    std::string json;
  } rows[] = {
      {"plain", "MW(H2O)", "MW(H2O)", "\"MW(H2O)\""},
      {"Latin-1 byte", "5 \xb5g", "5 \xc2\xb5g", "\"5 \xc2\xb5g\""},
      {"UTF-8 kept", "H\xe2\x82\x82O", "H\xe2\x82\x82O", "\"H\xe2\x82\x82O\""},
      {"lone continuation byte", "\x80x", "\xc2\x80x", "\"\\u0080x\""},
      {"cut UTF-8 sequence", "\xe2\x82", "\xc3\xa2\xc2\x82", "\"\xc3\xa2\\u0082\""},
      {"quotes and backslash", "a\"b\\c", "a\"b\\c", "\"a\\\"b\\\\c\""},
      {"controls", std::string("\t\n\r\x01\0", 5), std::string("\t\n\r\x01\0", 5),
       "\"\\t\\n\\r\\u0001\\u0000\""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ToUtf8(row.text), row.utf8) << row.name;
    EXPECT_EQ(JsonString(row.text), row.json) << row.name;
  }
}

TEST(Utf8Output, JsonNumbersReadBackExactly) {
  const struct {
    double value;
    const char* json;
  } rows[] = {
      {2, "2"},
      {18.015, "18.015"},
      {-0.5, "-0.5"},
      {1e-300, "1e-300"},
      {8.31446261815324, "8.31446261815324"},
      {std::numeric_limits<double>::infinity(), "null"},
      {std::nan(""), "null"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(JsonNumber(row.value), row.json) << row.json;
    if (std::isfinite(row.value)) {
      EXPECT_EQ(std::stod(JsonNumber(row.value)), row.value);
    }
  }
}

}  // namespace
}  // namespace ostravel
