#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace search {

// Finds where a run of bytes, or one of two (the forms of one query in the
// two encodings a file may mix), stands across large blocks of text without
// looking at every position, comparing a whole run only where its rarest
// bytes stand. One run is looked for by the library's memchr for its
// rarest byte, which scans many bytes a step, or where that byte is common,
// by testing eight places at once for its two rarest bytes. Two runs are
// looked for in one scan by their two rarest bytes each, as many places at
// once as the processor's vector registers hold.
class ByteFinder {
 public:
  // One run, or two; none empty.
  explicit ByteFinder(std::string run, std::string other_run = {});

  // Whether looking for the runs pays in text like `sample`: it does not
  // where a run's bytes are so common that the scan would stop every few
  // bytes, since cutting every line costs less then. The first sample
  // tells which of the runs' bytes are rare; later calls keep that answer.
  bool PaysIn(std::string_view sample);

  struct Found {
    std::size_t at;    // npos if nowhere
    std::size_t size;  // of the run found there
  };
  // Where a run first stands in `text` at or after `from`; the longer of
  // two that start at the same place.
  Found Find(std::string_view text, std::size_t from) const;

  // The two rarest bytes of each run, for a scan of many places at once.
  struct Probes {
    std::size_t runs;
    std::array<std::array<std::size_t, 2>, 2> places;
    std::array<std::array<char, 2>, 2> bytes;
    std::size_t reach;  // the furthest place + 1
  };

 private:
  enum class Way { kUnknown, kRareByte, kRarePair, kSlow };

  struct Run {
    std::string bytes;
    std::size_t rare = 0;         // the rarest byte's place in the run
    std::size_t second_rare = 0;  // the next rarest's; `rare` if none
  };

  // The way for one run, setting its places.
  static Way Learn(Run& run, const std::array<std::size_t, 256>& counts,
                   double sample_size);

  // The size of the longest run that stands at `at`; 0 if none does.
  std::size_t LongestAt(std::string_view text, std::size_t at) const;
  Found FindByRareByte(std::string_view text, std::size_t from) const;
  Found FindByRarePair(std::string_view text, std::size_t from) const;
  Found FindEither(std::string_view text, std::size_t from) const;

  std::array<Run, 2> runs_;
  std::size_t run_count_;
  Way way_ = Way::kUnknown;
  Probes probes_{};
};

}  // namespace search
