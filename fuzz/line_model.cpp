#include "fuzz/line_model.h"

#include <cstddef>

#include "records/cp1251.h"
#include "records/line_breaks.h"

namespace fuzz {
namespace {

bool In(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

// The well-formed sequences, byte by byte, as the Unicode standard tables
// them; the sequence's length at `at`, or 0 where none starts.
std::size_t WellFormedAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) {
    return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0;
  };
  const unsigned char lead = byte(0);
  if (lead <= 0x7F) return 1;
  const auto tail = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      if (!In(byte(i), 0x80, 0xBF)) return false;
    }
    return true;
  };
  if (In(lead, 0xC2, 0xDF)) return tail(1, 2) ? 2 : 0;
  if (lead == 0xE0) return In(byte(1), 0xA0, 0xBF) && tail(2, 3) ? 3 : 0;
  if (In(lead, 0xE1, 0xEC) || In(lead, 0xEE, 0xEF)) return tail(1, 3) ? 3 : 0;
  if (lead == 0xED) return In(byte(1), 0x80, 0x9F) && tail(2, 3) ? 3 : 0;
  if (lead == 0xF0) return In(byte(1), 0x90, 0xBF) && tail(2, 4) ? 4 : 0;
  if (In(lead, 0xF1, 0xF3)) return tail(1, 4) ? 4 : 0;
  if (lead == 0xF4) return In(byte(1), 0x80, 0x8F) && tail(2, 4) ? 4 : 0;
  return 0;
}

}  // namespace

std::vector<std::string> ModelLines(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  // The whole file at once, where the reader takes it a block at a time.
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < bytes.size();) {
    const records::LineBounds line = records::LineAt(bytes, start);
    lines.emplace_back(bytes.substr(start, line.end - start));
    start = line.next;
  }
  return lines;
}

bool ModelUtf16(std::string_view bytes) {
  return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

std::string ModelText(std::string_view line) {
  bool multi_byte = false;
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t length = WellFormedAt(line, at);
    if (length == 0) return records::DecodeCp1251(line);
    multi_byte = multi_byte || length > 1;
    at += length;
  }
  return multi_byte ? std::string(line) : records::DecodeCp1251(line);
}

}  // namespace fuzz
