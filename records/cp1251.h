#pragma once

#include <string>
#include <string_view>

#include "records/failure.h"

namespace records {

// Decodes Windows-1251 bytes, the code page the program saves in, to UTF-8.
// It never fails: the one byte the code page leaves undefined (0x98)
// decodes to U+0098 and encodes back to itself.
std::string DecodeCp1251(std::string_view bytes);

// Encodes UTF-8 text to Windows-1251 bytes, or refuses it at its first
// character that the code page lacks (Failure::refused; see NotInCodePage).
Result<std::string> EncodeCp1251(std::string_view utf8);

}  // namespace records
