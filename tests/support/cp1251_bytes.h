#pragma once

#include <string>
#include <string_view>

#include "records/cp1251.h"

namespace test_support {

// The Windows-1251 bytes of a text the code page holds.
inline std::string Cp1251(std::string_view utf8) {
  return records::EncodeCp1251(utf8).value();
}

}  // namespace test_support
