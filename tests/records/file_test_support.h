#pragma once

#include <algorithm>
#include <climits>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "records/append_file.h"
#include "records/cp1251.h"
#include "tests/support/forwarding_file_system.h"
#include "tests/support/temp_folder.h"

namespace records::test_support {

using ::test_support::ReadBytes;
using ::test_support::TempFolder;
using ::test_support::WriteBytes;

// The Windows-1251 bytes of a text the code page holds.
inline std::string Cp1251(std::string_view utf8) {
  return std::get<std::string>(EncodeCp1251(utf8));
}

// The platform's file operations with faults put in on purpose. Calls are
// numbered from 1 over every operation but Close; a chosen call fails with a
// made-up reason instead of reaching the platform.
class FaultyFileSystem final : public ::test_support::ForwardingFileSystem {
 public:
  // What every call made to fail reports.
  static inline const std::error_code kError =
      std::make_error_code(std::errc::io_error);

  // Call `number` fails; the calls around it work.
  void FailOnce(int number) { once_.insert(number); }
  // Call `number` and every later one fail.
  void FailFrom(int number) { from_ = number; }
  void Fail(int number, bool for_good) {
    for_good ? FailFrom(number) : FailOnce(number);
  }
  // A failing Append first writes half of its bytes for real and reports
  // that count instead of an error: a short write.
  void WriteHalfOnFailure() { half_writes_ = true; }
  // The file lets us append but not read: OpenForAppend says so, and every
  // read fails.
  void RefuseReading() { refuse_reading_ = true; }
  // Every read delivers at most this many bytes.
  void ReadAtMost(std::size_t bytes) { read_limit_ = bytes; }

  // The names of the operations called so far, in order, Close left out.
  const std::vector<std::string>& Calls() const { return calls_; }
  // The number of the first call of `operation` so far; 0 if none.
  int FirstCall(const std::string& operation) const {
    const auto found = std::find(calls_.begin(), calls_.end(), operation);
    return found == calls_.end() ? 0
                                 : static_cast<int>(found - calls_.begin()) + 1;
  }
  // Files opened and not closed yet.
  int OpenFiles() const { return open_files_; }

  Result<Opened> OpenForAppend(const std::filesystem::path& path) override {
    Result<Opened> opened = ForwardingFileSystem::OpenForAppend(path);
    if (opened) {
      ++open_files_;
      opened.value().readable = !refuse_reading_;
    }
    return opened;
  }
  Result<Handle> OpenForReading(const std::filesystem::path& path) override {
    Result<Handle> opened = ForwardingFileSystem::OpenForReading(path);
    if (opened) ++open_files_;
    return opened;
  }
  Result<std::size_t> ReadAt(Handle file, std::uint64_t offset,
                             std::span<char> buffer) override {
    return ForwardingFileSystem::ReadAt(
        file, offset, buffer.first(std::min(buffer.size(), read_limit_)));
  }
  Result<std::size_t> Append(Handle file, std::string_view bytes) override {
    if (!half_writes_) return ForwardingFileSystem::Append(file, bytes);
    if (Faulty("Append")) {
      return real_.Append(file, bytes.substr(0, bytes.size() / 2));
    }
    return real_.Append(file, bytes);
  }
  void Close(Handle file) override {
    --open_files_;
    real_.Close(file);
  }

 protected:
  std::optional<Failure> Before(const char* operation) override {
    if (Faulty(operation) ||
        (refuse_reading_ && std::string_view(operation) == "ReadAt")) {
      return Failure{"сбой, подстроенный проверкой", kError};
    }
    return std::nullopt;
  }

 private:
  // Counts the call and tells whether it is to fail.
  bool Faulty(const std::string& operation) {
    calls_.push_back(operation);
    const int number = static_cast<int>(calls_.size());
    return once_.count(number) > 0 || number >= from_;
  }

  std::set<int> once_;
  int from_ = INT_MAX;
  bool half_writes_ = false;
  bool refuse_reading_ = false;
  std::size_t read_limit_ = SIZE_MAX;
  std::vector<std::string> calls_;
  int open_files_ = 0;
};

}  // namespace records::test_support
