// Any bytes through the Windows-1251 codec: decoding them and encoding the
// text gives the same bytes; taken as UTF-8, text that encodes decodes back
// to itself, and text that does not is refused at its first unrepresentable
// character, everything before which encodes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/property.h"
#include "records/cp1251.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const std::string text = records::DecodeCp1251(bytes);
  const records::Result<std::string> encoded = records::EncodeCp1251(text);
  fuzz::Check(encoded.ok(), "decoded text always encodes");
  fuzz::Check(encoded.value() == bytes,
              "decoding then encoding gives the same bytes");

  const records::Result<std::string> as_utf8 = records::EncodeCp1251(bytes);
  if (as_utf8) {
    fuzz::Check(records::DecodeCp1251(as_utf8.value()) == bytes,
                "encoded text decodes back to itself");
    return 0;
  }
  const std::size_t offset = as_utf8.failure().refused->offset;
  fuzz::Check(offset < bytes.size(),
              "the unrepresentable character lies inside the text");
  fuzz::Check(records::EncodeCp1251(bytes.substr(0, offset)).ok(),
              "the text before the unrepresentable character encodes");
  return 0;
}
