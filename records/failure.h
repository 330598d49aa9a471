#pragma once

#include <string>
#include <utility>
#include <variant>

namespace records {

// A failure the clerk can meet, with the Russian message the window shows.
struct Failure {
  std::string message;
};

// A value or the failure that prevented it.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}        // NOLINT: implicit
  Result(Failure failure) : state_(std::move(failure)) {}  // NOLINT: implicit

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  const Failure& failure() const { return std::get<1>(state_); }

 private:
  std::variant<T, Failure> state_;
};

}  // namespace records
