#include "records/line_encoding.h"

#include "records/cp1251.h"
#include "records/internal/utf8.h"

namespace records {
namespace {

// Returns where the first byte from 0x80 up stands at or after `from`, or
// the text's size if none does.
std::size_t NextHighByte(std::string_view text, std::size_t from) {
  for (; from < text.size(); ++from) {
    if (static_cast<unsigned char>(text[from]) >= 0x80) return from;
  }
  return from;
}

}  // namespace

std::size_t MalformedAt(std::string_view text) {
  for (std::size_t at = NextHighByte(text, 0); at < text.size();
       at = NextHighByte(text, at)) {
    const std::size_t start = at;
    if (NextCodePoint(text, at) == kMalformed) return start;
  }
  return std::string_view::npos;
}

LineEncoding EncodingOf(std::string_view line) {
  // Valid UTF-8 that holds a byte from 0x80 up holds a character of more
  // than one byte.
  const bool utf8 = NextHighByte(line, 0) < line.size() &&
                    MalformedAt(line) == std::string_view::npos;
  return utf8 ? LineEncoding::kUtf8 : LineEncoding::kCp1251;
}

std::string DecodeLine(std::string_view bytes, LineEncoding encoding) {
  return encoding == LineEncoding::kUtf8 ? std::string(bytes)
                                         : DecodeCp1251(bytes);
}

FileMark MarkOf(std::string_view head) {
  if (head.starts_with(kUtf8Mark)) return FileMark::kUtf8;
  if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
    return FileMark::kUtf16;
  }
  return FileMark::kNone;
}

}  // namespace records
