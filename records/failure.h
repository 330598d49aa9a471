#pragma once

#include <string>
#include <system_error>
#include <utility>
#include <variant>

namespace records {

// A failure the clerk can meet: the Russian message the window shows, the
// error behind it, and whether the file may keep a part of a line.
struct Failure {
  Failure(std::string message_text, std::error_code error = {})  // NOLINT
      : message(std::move(message_text)), code(error) {}

  std::string message;
  // The system's error (system_category), or one of FileError; empty where
  // neither applies, as for a card the file cannot hold.
  std::error_code code;
  // A failed save could not cut its line back off: the file may end with
  // the line or a part of it, and the next save starts a line of its own.
  bool part_line_may_remain = false;
};

// Failures of the subscriber file that are not the system's.
enum class FileError {
  kNotRegularFile = 1,  // a folder, a device, a pipe
  kKeepsChanging,       // the file vanished or was replaced at every try
  kShortWrite,          // the line went to the file only in part
  kShrank,              // the file got shorter under the lock
  kCancelled,           // the clerk stopped the wait for another copy
  kUtf16,               // the file is in UTF-16, which the program cannot keep
  kLast = kUtf16,
};

// Its texts are the clerk's reasons of messages.cpp.
const std::error_category& FileErrorCategory();
// std::error_code finds it by this name, by argument-dependent lookup.
// NOLINTNEXTLINE(readability-identifier-naming)
inline std::error_code make_error_code(FileError error) {
  return {static_cast<int>(error), FileErrorCategory()};
}

// A value or the failure that prevented it.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}            // NOLINT: implicit
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

template <>
struct std::is_error_code_enum<records::FileError> : std::true_type {};
