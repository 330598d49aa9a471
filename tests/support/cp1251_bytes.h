#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "records/cp1251.h"

namespace test_support {

// The Windows-1251 bytes of a text the code page holds.
inline std::string Cp1251(std::string_view utf8) {
  return std::get<std::string>(records::EncodeCp1251(utf8));
}

}  // namespace test_support
