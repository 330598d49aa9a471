#include "search/internal/byte_finder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "records/byte_words.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define RECORDS_X86_VECTORS 1
#endif

namespace search {

using records::BytesMaybeEqual;
using records::ByteWord;
using records::FirstMarked;
using records::LoadWord;

namespace {

// memchr pays a call for every place it stops at: a byte found more often
// than once in this many is better looked for eight places at a time.
constexpr std::size_t kRareByteSpacing = 128;
// Two runs cost memchr two passes, where one vector scan tests both by two
// bytes each: their rarest bytes must be rarer for memchr to pay. On the
// million generated cards the scan was faster for a byte found once in 115
// ("И" of a surname), memchr for one found once in 760 ("В" of a first
// name).
constexpr std::size_t kTwoRunsRareByteSpacing = 256;
// Two bytes found together more often than once in this many stop the scan
// more often than the lines of a subscriber file end.
constexpr std::size_t kRarePairSpacing = 64;

constexpr std::size_t kNowhere = std::string_view::npos;

using Probes = ByteFinder::Probes;

#ifdef RECORDS_X86_VECTORS
// The first step of places at or after `at`, starting no later than
// `last`, with a place at which both rarest bytes of a run stand as in the
// run, and the marks of its places, a bit each; the place after the steps
// tested, with no marks, when there is none. Sixteen places a step, as
// every x86-64 processor can.
constexpr std::size_t kSse2Step = 16;
std::size_t NextMarksBySse2(const char* text, std::size_t at, std::size_t last,
                            const Probes& probes, std::uint32_t& marks) {
  const auto equal = [&](std::size_t run, std::size_t probe, std::size_t step) {
    return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(
                              text + step + probes.places[run][probe])),
                          _mm_set1_epi8(probes.bytes[run][probe]));
  };
  for (; at <= last; at += kSse2Step) {
    const __m128i first = _mm_and_si128(equal(0, 0, at), equal(0, 1, at));
    const __m128i second = _mm_and_si128(equal(1, 0, at), equal(1, 1, at));
    marks = static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_or_si128(first, second)));
    if (marks != 0) return at;
  }
  return at;
}

// The same, 32 places a step, where the processor has AVX2. Written out
// without helpers, which the compiler would not build for AVX2.
constexpr std::size_t kVectorStep = 32;
__attribute__((target("avx2"))) std::size_t NextMarksByVectors(
    const char* text, std::size_t at, std::size_t last, const Probes& probes,
    std::uint32_t& marks) {
  const __m256i first_a = _mm256_set1_epi8(probes.bytes[0][0]);
  const __m256i first_b = _mm256_set1_epi8(probes.bytes[0][1]);
  const __m256i second_a = _mm256_set1_epi8(probes.bytes[1][0]);
  const __m256i second_b = _mm256_set1_epi8(probes.bytes[1][1]);
  const char* first_0 = text + probes.places[0][0];
  const char* first_1 = text + probes.places[0][1];
  const char* second_0 = text + probes.places[1][0];
  const char* second_1 = text + probes.places[1][1];
  for (; at <= last; at += kVectorStep) {
    const __m256i first = _mm256_and_si256(
        _mm256_cmpeq_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first_0 + at)),
            first_a),
        _mm256_cmpeq_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first_1 + at)),
            first_b));
    const __m256i second = _mm256_and_si256(
        _mm256_cmpeq_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second_0 + at)),
            second_a),
        _mm256_cmpeq_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second_1 + at)),
            second_b));
    marks = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_or_si256(first, second)));
    if (marks != 0) return at;
  }
  return at;
}

bool HasVectors() {
  static const bool kHas = __builtin_cpu_supports("avx2") != 0;
  return kHas;
}
#else
// The marks of the places from `at` on, as the steps below mark them:
// eight places at once, in words of the text.
std::uint32_t WordMarks(const char* text, std::size_t at,
                        const Probes& probes) {
  ByteWord marks = 0;
  for (std::size_t r = 0; r < probes.runs; ++r) {
    marks |= BytesMaybeEqual(LoadWord(text + at + probes.places[r][0]),
                             probes.bytes[r][0]) &
             BytesMaybeEqual(LoadWord(text + at + probes.places[r][1]),
                             probes.bytes[r][1]);
  }
  std::uint32_t bits = 0;
  for (; marks != 0; marks &= marks - 1) {
    bits |= std::uint32_t{1} << FirstMarked(marks);
  }
  return bits;
}

// The same as the vector steps, eight places a step, where no vectors are
// known.
constexpr std::size_t kWordStep = sizeof(ByteWord);
std::size_t NextMarksByWords(const char* text, std::size_t at, std::size_t last,
                             const Probes& probes, std::uint32_t& marks) {
  for (; at <= last; at += kWordStep) {
    marks = WordMarks(text, at, probes);
    if (marks != 0) return at;
  }
  return at;
}

#endif

}  // namespace

ByteFinder::ByteFinder(std::string run, std::string other_run)
    : run_count_(other_run.empty() ? 1 : 2) {
  runs_[0].bytes = std::move(run);
  runs_[1].bytes = std::move(other_run);
  for (Run& r : runs_) {
    std::array<char, sizeof(ByteWord)> head{};
    const std::size_t size = std::min(r.bytes.size(), head.size());
    std::copy_n(r.bytes.begin(), size, head.begin());
    r.head = LoadWord(head.data());
    r.head_mask =
        size == head.size() ? ~ByteWord{0} : (ByteWord{1} << (8 * size)) - 1;
  }
}

bool ByteFinder::PaysIn(std::string_view sample) {
  if (way_ != Way::kUnknown) return way_ != Way::kSlow;
  std::array<std::size_t, 256> counts{};
  for (const char c : sample) ++counts[static_cast<unsigned char>(c)];
  const double sample_size = static_cast<double>(sample.size()) + 1;
  // Two runs go the way the commoner one needs.
  const std::size_t spacing =
      run_count_ == 2 ? kTwoRunsRareByteSpacing : kRareByteSpacing;
  way_ = Learn(runs_[0], counts, sample_size, spacing);
  if (run_count_ == 2) {
    way_ = std::max(way_, Learn(runs_[1], counts, sample_size, spacing));
  }
  const bool second_rarer = runs_[1].rare_count < runs_[0].rare_count;
  rarer_ = second_rarer ? 1 : 0;
  commoner_ = second_rarer ? 0 : 1;
  // Where two runs are looked for by two bytes each, a run of one byte
  // repeated is looked for by that byte twice.
  probes_.runs = run_count_;
  probes_.reach = 0;
  for (std::size_t r = 0; r < 2; ++r) {
    const Run& run = runs_[std::min(r, run_count_ - 1)];
    probes_.places[r] = {run.rare, run.second_rare};
    probes_.bytes[r] = {run.bytes[run.rare], run.bytes[run.second_rare]};
    probes_.reach =
        std::max({probes_.reach, run.rare + 1, run.second_rare + 1});
  }
  return way_ != Way::kSlow;
}

ByteFinder::Way ByteFinder::Learn(Run& run,
                                  const std::array<std::size_t, 256>& counts,
                                  double sample_size,
                                  std::size_t rare_byte_spacing) {
  const std::string& bytes = run.bytes;
  const auto count = [&](std::size_t i) {
    return counts[static_cast<unsigned char>(bytes[i])];
  };
  // The place in the run of its rarest byte other than `other`; the run's
  // size if every byte is `other`.
  const auto rarest_but = [&](int other) {
    std::size_t rarest = bytes.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (static_cast<unsigned char>(bytes[i]) != other &&
          (rarest == bytes.size() || count(i) < count(rarest))) {
        rarest = i;
      }
    }
    return rarest;
  };
  run.rare = rarest_but(-1);
  run.rare_count = count(run.rare);
  // Two places of the same byte would stand together wherever the byte
  // repeats, as in 999.
  run.second_rare = rarest_but(static_cast<unsigned char>(bytes[run.rare]));
  const bool pair = run.second_rare < bytes.size();
  if (!pair) run.second_rare = run.rare;
  const double rare_share = static_cast<double>(count(run.rare)) / sample_size;
  if (rare_share * static_cast<double>(rare_byte_spacing) <= 1) {
    return Way::kRareByte;
  }
  if (pair) {
    // As if the two bytes stood independently of each other.
    const double pair_share =
        rare_share * static_cast<double>(count(run.second_rare)) / sample_size;
    if (pair_share * kRarePairSpacing <= 1) return Way::kRarePair;
  }
  return Way::kSlow;
}

ByteFinder::Found ByteFinder::Find(std::string_view text,
                                   std::size_t from) const {
  if (way_ == Way::kRarePair) {
    return run_count_ == 2 ? FindEither(text, from)
                           : FindByRarePair(text, from);
  }
  if (run_count_ == 2) return Scan(*this, text).Find(from);
  const std::size_t at = StartByRareByte(runs_[0], text, from, text.size());
  return {at, at == kNowhere ? 0 : runs_[0].bytes.size()};
}

std::size_t ByteFinder::LongestAt(std::string_view text, std::size_t at) const {
  std::size_t longest = 0;
  for (std::size_t i = 0; i < run_count_; ++i) {
    const Run& run = runs_[i];
    if (run.bytes.size() > longest && StandsAt(run, text, at)) {
      longest = run.bytes.size();
    }
  }
  return longest;
}

std::size_t ByteFinder::StartByRareByte(const Run& run, std::string_view text,
                                        std::size_t from, std::size_t end) {
  const char rare = run.bytes[run.rare];
  const std::size_t stop = std::min(text.size(), end + run.rare);
  for (std::size_t at = from + run.rare; at < stop; ++at) {
    const void* found = std::memchr(text.data() + at, rare, stop - at);
    if (found == nullptr) break;
    at =
        static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
    if (StandsAt(run, text, at - run.rare)) return at - run.rare;
  }
  return kNowhere;
}

bool ByteFinder::StandsAt(const Run& run, std::string_view text,
                          std::size_t start) {
  const std::size_t size = run.bytes.size();
  // Most places where the rarest byte stands hold another run: their first
  // eight bytes, compared at once, tell without a call.
  if (start + sizeof(ByteWord) <= text.size()) {
    if (((LoadWord(text.data() + start) ^ run.head) & run.head_mask) != 0) {
      return false;
    }
    if (size <= sizeof(ByteWord)) return true;
  }
  return start + size <= text.size() &&
         std::memcmp(text.data() + start, run.bytes.data(), size) == 0;
}

ByteFinder::Found ByteFinder::Scan::Find(std::size_t from) {
  const ByteFinder& finder = finder_;
  if (finder.run_count_ == 1 || finder.way_ == Way::kRarePair) {
    return finder.Find(text_, from);
  }
  // The run of the rarer byte is looked for once past its last find, by
  // a scan that mostly finds nothing; the other only up to where it
  // stands, as one run alone would be.
  if (rarer_at_ == kNotYet || (rarer_at_ != kNowhere && rarer_at_ < from)) {
    rarer_at_ =
        StartByRareByte(finder.runs_[finder.rarer_], text_, from, text_.size());
  }
  const std::size_t end = rarer_at_ == kNowhere ? text_.size() : rarer_at_ + 1;
  const std::size_t common_at =
      StartByRareByte(finder.runs_[finder.commoner_], text_, from, end);
  if (common_at < rarer_at_)
    return {common_at, finder.runs_[finder.commoner_].bytes.size()};
  if (rarer_at_ == kNowhere) return {kNowhere, 0};
  // Both at one place: the longer.
  return {rarer_at_, std::max(common_at == rarer_at_
                                  ? finder.runs_[finder.commoner_].bytes.size()
                                  : std::size_t{0},
                              finder.runs_[finder.rarer_].bytes.size())};
}

ByteFinder::Found ByteFinder::FindByRarePair(std::string_view text,
                                             std::size_t from) const {
  const Run& run = runs_[0];
  constexpr std::size_t kWord = sizeof(ByteWord);
  const auto marks_at = [&](std::size_t at) {
    return BytesMaybeEqual(LoadWord(text.data() + at + run.rare),
                           run.bytes[run.rare]) &
           BytesMaybeEqual(LoadWord(text.data() + at + run.second_rare),
                           run.bytes[run.second_rare]);
  };
  // The places the marks stand for, in order; npos if the run is at none.
  const auto find_marked = [&](std::size_t at, ByteWord marks) {
    for (; marks != 0; marks &= marks - 1) {
      if (LongestAt(text, at + FirstMarked(marks)) != 0) {
        return at + FirstMarked(marks);
      }
    }
    return kNowhere;
  };
  std::size_t at = from;
  // Sixteen places a step while the words lie inside the text: one branch
  // for two words.
  for (; at + run.bytes.size() - 1 + 2 * kWord <= text.size();
       at += 2 * kWord) {
    const ByteWord low = marks_at(at);
    const ByteWord high = marks_at(at + kWord);
    if ((low | high) == 0) continue;
    std::size_t found = find_marked(at, low);
    if (found == kNowhere) found = find_marked(at + kWord, high);
    if (found != kNowhere) return {found, run.bytes.size()};
  }
  for (; at + run.bytes.size() <= text.size(); ++at) {
    if (LongestAt(text, at) != 0) return {at, run.bytes.size()};
  }
  return {kNowhere, 0};
}

ByteFinder::Found ByteFinder::FindEither(std::string_view text,
                                         std::size_t from) const {
#ifdef RECORDS_X86_VECTORS
  const bool avx2 = HasVectors();
  const auto scan = avx2 ? NextMarksByVectors : NextMarksBySse2;
  const std::size_t step = avx2 ? kVectorStep : kSse2Step;
#else
  const auto scan = NextMarksByWords;
  const std::size_t step = kWordStep;
#endif
  std::size_t at = from;
  // Whole steps while every byte they test lies inside the text.
  const std::size_t last = text.size() >= step + probes_.reach
                               ? text.size() - step - probes_.reach + 1
                               : 0;
  while (at <= last && text.size() >= step + probes_.reach) {
    std::uint32_t marks = 0;
    at = scan(text.data(), at, last, probes_, marks);
    // None marked: every place before `at` is tested.
    if (marks == 0) break;
    for (; marks != 0; marks &= marks - 1) {
      const std::size_t place =
          at + static_cast<std::size_t>(std::countr_zero(marks));
      if (const std::size_t size = LongestAt(text, place)) {
        return {place, size};
      }
    }
    at += step;
  }
  for (; at < text.size(); ++at) {
    if (const std::size_t size = LongestAt(text, at)) return {at, size};
  }
  return {kNowhere, 0};
}

}  // namespace search
