#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace card {

// Lists the four benefit levels in the order of their option buttons.
enum class BenefitOption : std::uint8_t {
  kNone = 0,  // 0%
  kTwenty = 1,
  kTwentyFive = 2,
  kFifty = 3,
};

inline constexpr int kBenefitCount = 4;

struct BenefitInfo {
  BenefitOption option;
  std::string_view caption;
  // The due amounts and totals are divided by it; for a percentage p it is
  // 100 / p, and "0%" leaves the amounts undivided.
  std::int16_t divisor;
};

inline constexpr std::array<BenefitInfo, kBenefitCount> kBenefits{{
    {BenefitOption::kNone, "0%", 1},
    {BenefitOption::kTwenty, "20%", 5},
    {BenefitOption::kTwentyFive, "25%", 4},
    {BenefitOption::kFifty, "50%", 2},
}};

constexpr const BenefitInfo& Benefit(BenefitOption option) {
  return kBenefits[static_cast<std::size_t>(option)];
}

}  // namespace card
