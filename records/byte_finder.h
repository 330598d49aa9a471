#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace records {

// Finds a run of bytes across large blocks of text without looking at every
// position: by the library's memchr for the run's rarest byte, which scans
// many bytes a step, or where that byte is common, by testing eight
// positions at once for the run's two rarest bytes; the whole run is
// compared only where they stand.
class ByteFinder {
 public:
  explicit ByteFinder(std::string bytes);  // not empty

  // Whether looking for the run pays in text like `sample`: it does not
  // where the run's bytes are so common that the scan would stop every few
  // bytes, since cutting every line costs less then. The first sample
  // tells which of the run's bytes are rare; later calls keep that answer.
  bool PaysIn(std::string_view sample);

  // Where the run first stands in `text` at or after `from`; npos if nowhere.
  std::size_t Find(std::string_view text, std::size_t from) const;

  std::size_t size() const { return bytes_.size(); }

 private:
  enum class Way { kUnknown, kRareByte, kRarePair, kSlow };

  void Learn(std::string_view sample);

  bool StandsAt(std::string_view text, std::size_t at) const;
  std::size_t FindByRareByte(std::string_view text, std::size_t from) const;
  std::size_t FindByRarePair(std::string_view text, std::size_t from) const;

  std::string bytes_;
  Way way_ = Way::kUnknown;
  std::size_t rare_ = 0;         // the rarest byte's place in the run
  std::size_t second_rare_ = 0;  // the next rarest's, for kRarePair
};

}  // namespace records
