#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Stops the run when a property fails, whatever NDEBUG says, so that the
// fuzzer keeps the input as a crash and a replay fails.
inline void Check(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "property failed: %s\n", property);
    std::abort();
  }
}

}  // namespace fuzz
