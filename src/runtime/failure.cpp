#include "runtime/failure.h"

namespace ostravel {

const char* FailureDescription(FailureKind kind) {
  switch (kind) {
    case FailureKind::InvalidArgument:
      return "Invalid procedure call or argument";
    case FailureKind::Overflow:
      return "Overflow";
    case FailureKind::IndexOutOfRange:
      return "Subscript out of range";
    case FailureKind::DivisionByZero:
      return "Division by zero";
    case FailureKind::TypeMismatch:
      return "Type mismatch";
    case FailureKind::Calculation:
      return "Calculation error";
  }
  return "Unknown error";
}

}  // namespace ostravel
