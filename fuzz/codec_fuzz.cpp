// Any bytes through the Windows-1251 codec: decoding them and encoding the
// text gives the same bytes; taken as UTF-8, text that encodes decodes back
// to itself, and text that does not is refused at its first unrepresentable
// character, everything before which encodes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "fuzz/property.h"
#include "records/cp1251.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const std::string text = records::DecodeCp1251(bytes);
  const auto encoded = records::EncodeCp1251(text);
  fuzz::Check(std::holds_alternative<std::string>(encoded),
              "decoded text always encodes");
  fuzz::Check(std::get<std::string>(encoded) == bytes,
              "decoding then encoding gives the same bytes");

  const auto as_utf8 = records::EncodeCp1251(bytes);
  if (const auto* code_page = std::get_if<std::string>(&as_utf8)) {
    fuzz::Check(records::DecodeCp1251(*code_page) == bytes,
                "encoded text decodes back to itself");
    return 0;
  }
  const auto& refused = std::get<records::Unrepresentable>(as_utf8);
  fuzz::Check(refused.offset < bytes.size(),
              "the unrepresentable character lies inside the text");
  fuzz::Check(std::holds_alternative<std::string>(
                  records::EncodeCp1251(bytes.substr(0, refused.offset))),
              "the text before the unrepresentable character encodes");
  return 0;
}
