// Sets a variable for the length of a scope and puts its old value back on every way out of
// it, a failure thrown through it included.
#pragma once

#include <utility>

namespace ostravel {

template <class T>
class [[nodiscard]] ScopedValue {
 public:
  ScopedValue(T& target, T value)
      : target_(target), saved_(std::exchange(target, std::move(value))) {}
  ~ScopedValue() { target_ = std::move(saved_); }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  T& target_;
  T saved_;
};

}  // namespace ostravel
