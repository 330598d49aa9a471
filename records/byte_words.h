#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace records {

// Eight bytes of a text taken at once, so that a scan tests eight places
// in a few steps. The text's first byte is the word's lowest.
using ByteWord = std::uint64_t;

inline ByteWord LoadWord(const char* bytes) {
  ByteWord word;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::big) {
    ByteWord reversed = 0;
    for (int i = 0; i < 8; ++i, word >>= 8) {
      reversed = (reversed << 8) | (word & 0xFF);
    }
    word = reversed;
  }
  return word;
}

// Marks the bytes of `word` equal to `byte`: the high bit of each such byte
// set, every other bit clear.
inline ByteWord BytesEqual(ByteWord word, char byte) {
  constexpr ByteWord kOnes = 0x0101010101010101;
  constexpr ByteWord kLow = 0x7F7F7F7F7F7F7F7F;
  const ByteWord x = word ^ (kOnes * static_cast<unsigned char>(byte));
  // Adding 0x7F to a byte's low seven bits carries into its high bit unless
  // they are all clear, and never out of the byte.
  return ~(((x & kLow) + kLow) | x | kLow);
}

// Marks the bytes of `word` equal to `byte` like BytesEqual, in fewer
// steps, but may also mark a byte that follows one of them: enough to find
// places that are then compared.
inline ByteWord BytesMaybeEqual(ByteWord word, char byte) {
  constexpr ByteWord kOnes = 0x0101010101010101;
  constexpr ByteWord kHigh = 0x8080808080808080;
  const ByteWord x = word ^ (kOnes * static_cast<unsigned char>(byte));
  return (x - kOnes) & ~x & kHigh;
}

// How many bytes are marked.
inline int MarkCount(ByteWord marks) {
  // One bit per byte, summed into the top byte by the multiplication.
  return static_cast<int>(((marks >> 7) * 0x0101010101010101) >> 56);
}

// The position (0 to 7) of the first byte marked.
inline int FirstMarked(ByteWord marks) { return std::countr_zero(marks) / 8; }

// The position (0 to 7) of the last byte marked by BytesEqual.
inline int LastMarked(ByteWord marks) {
  return (63 - std::countl_zero(marks)) / 8;
}

}  // namespace records
