#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <variant>

namespace records {

// Names the first character of a text that the file cannot take: where it
// stands in the UTF-8 text, which it is (U+FFFD for broken UTF-8), and the
// card's field that holds the text (-1 where the text is no field).
struct RefusedCharacter {
  int field = -1;
  std::size_t offset = 0;
  char32_t character = 0;
};

// Tells the clerk why an operation failed: the Russian message the window
// shows, the error behind it, and whether the file may keep a part of a
// line.
struct Failure {
  Failure(std::string message_text, std::error_code error = {})  // NOLINT
      : message(std::move(message_text)), code(error) {}

  std::string message;
  // Holds the system's error (system_category) or one of FileError; it is
  // empty where neither applies, as for a card the file cannot hold.
  std::error_code code;
  // Says that a failed save could not cut its line back off: the file may
  // end with the line or a part of it, and the next save starts a new line.
  bool part_line_may_remain = false;
  // Is set where a text was refused for one of its characters.
  std::optional<RefusedCharacter> refused;
};

// Says why the subscriber file failed where the system reported no error.
enum class FileError {
  kNotRegularFile = 1,  // a folder, a device, a pipe
  kKeepsChanging,       // the file vanished or was replaced at every try
  kShortWrite,          // the line went to the file only in part
  kShrank,              // the file got shorter under the lock
  kCancelled,           // the clerk stopped the wait for another copy
  kUtf16,               // the file is in UTF-16, which the program cannot keep
  kLast = kUtf16,
};

// Gives each FileError, as its message, the clerk's reason of messages.cpp.
const std::error_category& FileErrorCategory();
// std::error_code finds it by this name, by argument-dependent lookup.
// NOLINTNEXTLINE(readability-identifier-naming)
inline std::error_code make_error_code(FileError error) {
  return {static_cast<int>(error), FileErrorCategory()};
}

// Holds a value or the failure that prevented it; a default Result holds
// T's default value.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result() = default;
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

// Holds nothing on success, or the failure of an operation that gives no
// value.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)) {}  // NOLINT: implicit

  bool ok() const { return !failure_.has_value(); }
  explicit operator bool() const { return ok(); }

  const Failure& failure() const { return *failure_; }

 private:
  std::optional<Failure> failure_;
};

}  // namespace records

template <>
struct std::is_error_code_enum<records::FileError> : std::true_type {};
