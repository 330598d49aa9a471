#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace search {

// Finds where a run of bytes, or one of two (the forms of one query in the
// two encodings a file may mix), stands across large blocks of text without
// looking at every position, comparing a whole run only where its rarest
// bytes stand. One run is looked for by the library's memchr for its
// rarest byte, which scans many bytes a step, or where that byte is common,
// by testing eight places at once for its two rarest bytes. Two runs are
// looked for by memchr too, the run of the rarer byte once past each of its
// finds, where both rarest bytes are rare enough to pay two passes;
// otherwise in one scan by their two rarest bytes each, as many places at
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

  // One text searched from place after place, each further on: what one
  // find learns of the text, the next uses, so that two runs cost little
  // more than one.
  class Scan {
   public:
    Scan(const ByteFinder& finder, std::string_view text)
        : finder_(finder), text_(text) {}
    // As ByteFinder::Find, `from` no smaller than at the last call.
    Found Find(std::size_t from);

   private:
    // Not looked for yet.
    static constexpr std::size_t kNotYet = std::string_view::npos - 1;

    const ByteFinder& finder_;
    std::string_view text_;
    // Where the run of the rarer byte first starts at or after the `from`
    // it was looked for at.
    std::size_t rarer_at_ = kNotYet;
  };

  // The two rarest bytes of each run, for a scan of many places at once.
  struct Probes {
    std::size_t runs;
    std::array<std::array<std::size_t, 2>, 2> places;
    std::array<std::array<char, 2>, 2> bytes;
    std::size_t reach;  // the furthest place + 1
  };

 private:
  // From the fastest to the slowest.
  enum class Way { kUnknown, kRareByte, kRarePair, kSlow };

  struct Run {
    std::string bytes;
    std::size_t rare = 0;         // the rarest byte's place in the run
    std::size_t second_rare = 0;  // the next rarest's; `rare` if none
    std::size_t rare_count = 0;   // of the rarest byte in the sample
    // The first eight bytes (fewer in a shorter run) as a word of text
    // holds them, and the mask of the ones there are.
    std::uint64_t head = 0;
    std::uint64_t head_mask = 0;
  };

  // The way for one run, setting its places; its rarest byte is looked
  // for alone if found no more often than once in `rare_byte_spacing`.
  static Way Learn(Run& run, const std::array<std::size_t, 256>& counts,
                   double sample_size, std::size_t rare_byte_spacing);

  // Whether `run` stands in `text` at `start`.
  static bool StandsAt(const Run& run, std::string_view text,
                       std::size_t start);
  // The size of the longest run that stands at `at`; 0 if none does.
  std::size_t LongestAt(std::string_view text, std::size_t at) const;
  // The first start of `run` at or after `from` and before `end`; npos if
  // none.
  static std::size_t StartByRareByte(const Run& run, std::string_view text,
                                     std::size_t from, std::size_t end);
  Found FindByRarePair(std::string_view text, std::size_t from) const;
  Found FindEither(std::string_view text, std::size_t from) const;

  std::array<Run, 2> runs_;
  std::size_t run_count_;
  Way way_ = Way::kUnknown;
  // Of two runs, the place of the one whose rarest byte is the rarer in the
  // sample, and of the other.
  std::size_t rarer_ = 0;
  std::size_t commoner_ = 0;
  Probes probes_{};
};

}  // namespace search
