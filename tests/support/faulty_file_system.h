#pragma once

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "records/file_system.h"

namespace test_support {

// The platform's file operations, for the tests and the fuzz targets, with
// faults put in on purpose. Calls are numbered from 1 over every operation
// but Close; a chosen call fails with a made-up reason instead of reaching
// the platform.
class FaultyFileSystem final : public records::FileSystem {
 public:
  template <typename T>
  using Result = records::Result<T>;
  using Failure = records::Failure;

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
  // Every read delivers at most this many bytes, as a short read of the
  // system would.
  void ReadAtMost(std::size_t bytes) { read_limit_ = bytes; }

  // The names of the operations called so far, in order, Close left out.
  const std::vector<std::string>& Calls() const { return calls_; }
  // The number of the first call of `operation` so far; 0 if none.
  int FirstCall(std::string_view operation) const {
    const auto found = std::find(calls_.begin(), calls_.end(), operation);
    return found == calls_.end() ? 0
                                 : static_cast<int>(found - calls_.begin()) + 1;
  }
  // Files opened and not closed yet.
  int OpenFiles() const { return open_files_; }

  Result<Opened> OpenForAppend(const std::filesystem::path& path) override {
    if (Faulty("OpenForAppend")) return Fault();
    Result<Opened> opened = real_.OpenForAppend(path);
    if (opened) {
      ++open_files_;
      opened.value().readable = !refuse_reading_;
    }
    return opened;
  }
  Result<Handle> OpenForReading(const std::filesystem::path& path) override {
    if (Faulty("OpenForReading")) return Fault();
    Result<Handle> opened = real_.OpenForReading(path);
    if (opened) ++open_files_;
    return opened;
  }
  Result<bool> TryLock(Handle file, records::LockKind kind) override {
    if (Faulty("TryLock")) return Fault();
    return real_.TryLock(file, kind);
  }
  Result<bool> IsFileAt(Handle file,
                        const std::filesystem::path& path) override {
    if (Faulty("IsFileAt")) return Fault();
    return real_.IsFileAt(file, path);
  }
  Result<std::uint64_t> Size(Handle file) override {
    if (Faulty("Size")) return Fault();
    return real_.Size(file);
  }
  Result<std::size_t> ReadAt(Handle file, std::uint64_t offset,
                             std::span<char> buffer) override {
    if (Faulty("ReadAt") || refuse_reading_) return Fault();
    return real_.ReadAt(file, offset,
                        buffer.first(std::min(buffer.size(), read_limit_)));
  }
  Result<std::size_t> Append(Handle file, std::string_view bytes) override {
    if (!Faulty("Append")) return real_.Append(file, bytes);
    if (!half_writes_) return Fault();
    return real_.Append(file, bytes.substr(0, bytes.size() / 2));
  }
  Result<void> Truncate(Handle file, std::uint64_t size) override {
    if (Faulty("Truncate")) return Fault();
    return real_.Truncate(file, size);
  }
  Result<void> Flush(Handle file) override {
    if (Faulty("Flush")) return Fault();
    return real_.Flush(file);
  }
  Result<void> FlushFolder(const std::filesystem::path& file) override {
    if (Faulty("FlushFolder")) return Fault();
    return real_.FlushFolder(file);
  }
  void Close(Handle file) override {
    --open_files_;
    real_.Close(file);
  }

 private:
  // Counts the call and tells whether it is to fail.
  bool Faulty(std::string_view operation) {
    calls_.emplace_back(operation);
    const int number = static_cast<int>(calls_.size());
    return once_.count(number) > 0 || number >= from_;
  }
  static Failure Fault() { return {"сбой, подстроенный проверкой", kError}; }

  records::FileSystem& real_ = records::PlatformFileSystem();
  std::set<int> once_;
  int from_ = INT_MAX;
  bool half_writes_ = false;
  bool refuse_reading_ = false;
  std::size_t read_limit_ = SIZE_MAX;
  std::vector<std::string> calls_;
  int open_files_ = 0;
};

}  // namespace test_support
