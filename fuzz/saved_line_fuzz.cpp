// Any 15 texts as a card's fields: FormatLine refuses exactly the cards with
// a CR or a character outside Windows-1251, naming the first such field;
// otherwise its line is the fields' bytes each followed by a space, then
// CR LF, and reads back as one line that decodes to the fields and that
// SplitLine cuts into them (16 pieces, the last empty) when no field holds a
// space.
//
// Input: the fields, separated by byte 0x1F; missing fields are empty.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "card/subscriber_record.h"
#include "fuzz/line_model.h"
#include "fuzz/property.h"
#include "records/cp1251.h"
#include "records/failure.h"
#include "records/split_line.h"
#include "records/subscriber_file.h"

namespace {

constexpr char kFieldSeparator = '\x1F';

// Whether the text can be a field of a saved line.
bool Savable(const std::string& text) {
  return text.find('\r') == std::string::npos &&
         records::EncodeCp1251(text).ok();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  card::SubscriberRecord record;
  for (std::string& field : record) {
    const std::size_t end = input.find(kFieldSeparator);
    field = std::string(input.substr(0, end));
    input = end == std::string_view::npos ? std::string_view()
                                          : input.substr(end + 1);
  }

  const records::Result<std::string> line = records::FormatLine(record);
  int first_bad = -1;
  for (int i = 0; i < card::kFieldCount && first_bad < 0; ++i) {
    if (!Savable(record[i])) first_bad = i;
  }
  if (first_bad >= 0) {
    fuzz::Check(!line.ok(), "a field that cannot be saved is refused");
    fuzz::Check(line.failure().refused->field == first_bad &&
                    line.failure().message.find(
                        card::kFields[first_bad].caption) != std::string::npos,
                "the refusal names the first field that cannot be saved");
    return 0;
  }
  fuzz::Check(line.ok(), "a card of savable fields is saved");

  std::string fields;
  bool spaces = false;
  for (const std::string& field : record) {
    fields += field + ' ';
    spaces = spaces || field.find(' ') != std::string::npos;
  }
  const std::string& bytes = line.value();
  fuzz::Check(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n",
              "the line ends with CR LF");
  const std::vector<std::string> lines = fuzz::ModelLines(bytes);
  fuzz::Check(lines.size() == 1, "the line reads back as one line");
  fuzz::Check(records::DecodeCp1251(lines[0]) == fields,
              "the line is the fields, each followed by a space");
  if (spaces) return 0;
  const std::vector<std::string_view> pieces = records::SplitLine(lines[0]);
  fuzz::Check(pieces.size() == card::kFieldCount + 1 && pieces.back().empty(),
              "a line without spaces in its fields gives 16 pieces");
  for (int i = 0; i < card::kFieldCount; ++i) {
    fuzz::Check(records::DecodeCp1251(pieces[i]) == record[i],
                "each piece is its field");
  }
  return 0;
}
