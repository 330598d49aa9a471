#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "records/append_file.h"
#include "records/failure.h"
#include "tests/support/forwarding_file_system.h"

namespace fuzz {

// The platform's file operations, with every read cut short at a limit, as
// a short read of the system would be.
class ShortReads final : public test_support::ForwardingFileSystem {
 public:
  explicit ShortReads(std::size_t limit) : limit_(limit) {}

  records::Result<std::size_t> ReadAt(Handle file, std::uint64_t offset,
                                      std::span<char> buffer) override {
    return ForwardingFileSystem::ReadAt(
        file, offset, buffer.first(std::min(buffer.size(), limit_)));
  }

 private:
  std::size_t limit_;
};

}  // namespace fuzz
