#include "records/byte_finder.h"

#include <array>
#include <cstring>
#include <utility>

#include "records/byte_words.h"

namespace records {
namespace {

// memchr pays a call for every place it stops at: a byte found more often
// than once in this many is better looked for eight places at a time.
constexpr std::size_t kRareByteSpacing = 128;
// Two bytes found together more often than once in this many stop the scan
// more often than the lines of a subscriber file end.
constexpr std::size_t kRarePairSpacing = 64;

}  // namespace

ByteFinder::ByteFinder(std::string bytes) : bytes_(std::move(bytes)) {}

bool ByteFinder::PaysIn(std::string_view sample) {
  if (way_ == Way::kUnknown) Learn(sample);
  return way_ != Way::kSlow;
}

void ByteFinder::Learn(std::string_view sample) {
  std::array<std::size_t, 256> counts{};
  for (const char c : sample) ++counts[static_cast<unsigned char>(c)];
  const auto count = [&](std::size_t i) {
    return counts[static_cast<unsigned char>(bytes_[i])];
  };
  // The place in the run of its rarest byte other than `other`; the run's
  // size if every byte is `other`.
  const auto rarest_but = [&](int other) {
    std::size_t rarest = bytes_.size();
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
      if (static_cast<unsigned char>(bytes_[i]) != other &&
          (rarest == bytes_.size() || count(i) < count(rarest))) {
        rarest = i;
      }
    }
    return rarest;
  };
  rare_ = rarest_but(-1);
  const double sample_size = static_cast<double>(sample.size()) + 1;
  const double rare_share = static_cast<double>(count(rare_)) / sample_size;
  if (rare_share * kRareByteSpacing <= 1) {
    way_ = Way::kRareByte;
    return;
  }
  // Two places of the same byte would stand together wherever the byte
  // repeats, as in 999.
  second_rare_ = rarest_but(static_cast<unsigned char>(bytes_[rare_]));
  if (second_rare_ < bytes_.size()) {
    // As if the two bytes stood independently of each other.
    const double pair_share =
        rare_share * static_cast<double>(count(second_rare_)) / sample_size;
    if (pair_share * kRarePairSpacing <= 1) {
      way_ = Way::kRarePair;
      return;
    }
  }
  way_ = Way::kSlow;
}

std::size_t ByteFinder::Find(std::string_view text, std::size_t from) const {
  return way_ == Way::kRarePair ? FindByRarePair(text, from)
                                : FindByRareByte(text, from);
}

bool ByteFinder::StandsAt(std::string_view text, std::size_t at) const {
  return at + bytes_.size() <= text.size() &&
         std::memcmp(text.data() + at, bytes_.data(), bytes_.size()) == 0;
}

std::size_t ByteFinder::FindByRareByte(std::string_view text,
                                       std::size_t from) const {
  const char rare = bytes_[rare_];
  for (std::size_t at = from + rare_; at < text.size(); ++at) {
    const void* found = std::memchr(text.data() + at, rare, text.size() - at);
    if (found == nullptr) break;
    at =
        static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
    if (StandsAt(text, at - rare_)) return at - rare_;
  }
  return std::string_view::npos;
}

std::size_t ByteFinder::FindByRarePair(std::string_view text,
                                       std::size_t from) const {
  constexpr std::size_t kWord = sizeof(ByteWord);
  const auto marks_at = [&](std::size_t at) {
    return BytesMaybeEqual(LoadWord(text.data() + at + rare_), bytes_[rare_]) &
           BytesMaybeEqual(LoadWord(text.data() + at + second_rare_),
                           bytes_[second_rare_]);
  };
  // The places the marks stand for, in order; npos if the run is at none.
  const auto find_marked = [&](std::size_t at, ByteWord marks) {
    for (; marks != 0; marks &= marks - 1) {
      if (StandsAt(text, at + FirstMarked(marks))) {
        return at + FirstMarked(marks);
      }
    }
    return std::string_view::npos;
  };
  std::size_t at = from;
  // Sixteen places a step while the words lie inside the text: one branch
  // for two words.
  for (; at + bytes_.size() - 1 + 2 * kWord <= text.size(); at += 2 * kWord) {
    const ByteWord low = marks_at(at);
    const ByteWord high = marks_at(at + kWord);
    if ((low | high) == 0) continue;
    std::size_t found = find_marked(at, low);
    if (found == std::string_view::npos) found = find_marked(at + kWord, high);
    if (found != std::string_view::npos) return found;
  }
  for (; at + bytes_.size() <= text.size(); ++at) {
    if (StandsAt(text, at)) return at;
  }
  return std::string_view::npos;
}

}  // namespace records
