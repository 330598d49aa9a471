#pragma once

#include <optional>

#include "records/append_file.h"

namespace test_support {

// The platform's file operations passed on, for fakes that change a few of
// them or make some fail.
class ForwardingFileSystem : public records::FileSystem {
 public:
  records::Result<Opened> OpenForAppend(
      const std::filesystem::path& path) override {
    if (auto failure = Before("OpenForAppend")) return *failure;
    return real_.OpenForAppend(path);
  }
  records::Result<Handle> OpenForReading(
      const std::filesystem::path& path) override {
    if (auto failure = Before("OpenForReading")) return *failure;
    return real_.OpenForReading(path);
  }
  records::Result<bool> TryLock(Handle file) override {
    if (auto failure = Before("TryLock")) return *failure;
    return real_.TryLock(file);
  }
  records::Result<bool> IsFileAt(Handle file,
                                 const std::filesystem::path& path) override {
    if (auto failure = Before("IsFileAt")) return *failure;
    return real_.IsFileAt(file, path);
  }
  records::Result<std::uint64_t> Size(Handle file) override {
    if (auto failure = Before("Size")) return *failure;
    return real_.Size(file);
  }
  records::Result<std::size_t> ReadAt(Handle file, std::uint64_t offset,
                                      std::span<char> buffer) override {
    if (auto failure = Before("ReadAt")) return *failure;
    return real_.ReadAt(file, offset, buffer);
  }
  records::Result<std::size_t> Append(Handle file,
                                      std::string_view bytes) override {
    if (auto failure = Before("Append")) return *failure;
    return real_.Append(file, bytes);
  }
  std::optional<records::Failure> Truncate(Handle file,
                                           std::uint64_t size) override {
    if (auto failure = Before("Truncate")) return failure;
    return real_.Truncate(file, size);
  }
  std::optional<records::Failure> Flush(Handle file) override {
    if (auto failure = Before("Flush")) return failure;
    return real_.Flush(file);
  }
  std::optional<records::Failure> FlushFolder(
      const std::filesystem::path& file) override {
    if (auto failure = Before("FlushFolder")) return failure;
    return real_.FlushFolder(file);
  }
  void Close(Handle file) override { real_.Close(file); }

 protected:
  // Told of every operation but Close before it reaches the platform; a
  // failure returned here is the operation's instead.
  virtual std::optional<records::Failure> Before(const char* /*operation*/) {
    return std::nullopt;
  }

  records::FileSystem& real_ = records::PlatformFileSystem();
};

}  // namespace test_support
