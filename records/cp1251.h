#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace records {

// The Windows-1251 code page of the subscriber file.

// Decodes Windows-1251 bytes to UTF-8. Never fails: the one byte the code
// page leaves undefined (0x98) decodes to U+0098 and encodes back to itself.
std::string DecodeCp1251(std::string_view bytes);

// The first character of a UTF-8 text that Windows-1251 cannot represent.
struct Unrepresentable {
  std::size_t offset;  // byte offset in the UTF-8 text
  char32_t character;  // the code point; U+FFFD for malformed UTF-8
};

// Encodes UTF-8 text to Windows-1251 bytes.
std::variant<std::string, Unrepresentable> EncodeCp1251(std::string_view utf8);

}  // namespace records
