// Any sequence of the card's operations, from the start sequence on: every
// operation returns with its cascade of notifications bounded in depth,
// every change and only a change is notified, the divisor is the chosen
// option's, the failed cell is the first non-number of cells 6 to 14 and no
// empty cell comes before it, and whenever they all hold numbers the card is
// in the settled state of the recalculation.
//
// Input: one byte picks each operation, the bytes after it its arguments.
// A text is either one of a few texts that steer the card into its corners
// (byte below 128) or the next bytes, as many as the byte says.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "card/benefit.h"
#include "card/number_text.h"
#include "card/subscriber_card.h"
#include "card/subscriber_record.h"
#include "fuzz/property.h"

namespace {

// A write nests one run of the recalculation, whose refills and derived
// writes nest the next ones; each level changes a cell of the billing table,
// so a legitimate cascade stays within a few levels per cell, and one far
// deeper is running away.
constexpr int kMaxNotificationDepth = 32;

constexpr std::string_view kTexts[] = {"",
                                       "0",
                                       "1,3",
                                       "-2,5",
                                       " 5",
                                       "1,",
                                       ",5",
                                       "-",
                                       ",",
                                       "abc",
                                       "1E308",
                                       "-1E308",
                                       "1E-320",
                                       "5E-05",
                                       "0,1",
                                       "1,79769313486231E+308",
                                       "7",
                                       "07",
                                       "-0",
                                       "1e5",
                                       "9,99999999999999E+14",
                                       "0,0001"};

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size)
      : data_(data), size_(size) {}

  bool Empty() const { return at_ == size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

  std::string Text() {
    const std::uint8_t choice = Byte();
    if (choice < 128) return std::string(kTexts[choice % std::size(kTexts)]);
    const std::size_t length = std::min<std::size_t>(choice - 128, size_ - at_);
    std::string text(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

void CheckSettled(const card::SubscriberCard& card) {
  double c[card::kFieldCount] = {};
  for (int i = card::field::SubscriptionCharged; i <= card::field::TotalDue;
       ++i) {
    const std::optional<double> number = card::ParseNumber(card.CellText(i));
    if (!number) {
      fuzz::Check(!card.CellText(i).empty(),
                  "an empty amount is refilled up to the first non-number");
      fuzz::Check(card.FailedCell() == i,
                  "the failed cell is the first non-number");
      return;
    }
    c[i] = *number;
  }
  fuzz::Check(!card.FailedCell().has_value(),
              "no failed cell while the table computes");
  const double d = card.BenefitDivisor();
  namespace f = card::field;
  const auto holds = [&](int index, double value) {
    return card.CellText(index) == card::FormatNumber(value);
  };
  fuzz::Check(holds(f::SubscriptionDue,
                    (c[f::SubscriptionCharged] - c[f::SubscriptionPaid]) / d),
              "c8 = (c6 - c7) / d");
  fuzz::Check(
      holds(f::MeteredDue, (c[f::MeteredCharged] - c[f::MeteredPaid]) / d),
      "c11 = (c9 - c10) / d");
  fuzz::Check(holds(f::TotalCharged,
                    (c[f::MeteredCharged] + c[f::SubscriptionCharged]) / d),
              "c12 = (c9 + c6) / d");
  fuzz::Check(
      holds(f::TotalPaid, (c[f::MeteredPaid] + c[f::SubscriptionPaid]) / d),
      "c13 = (c10 + c7) / d");
  fuzz::Check(holds(f::TotalDue, (c[f::TotalCharged] - c[f::TotalPaid]) / d),
              "c14 = (c12 - c13) / d");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  card::SubscriberCard card;
  // What the watcher has been told: it must follow the card exactly.
  card::SubscriberRecord told = card.Snapshot();
  card.Watch([&](int index) {
    fuzz::Check(card.NotificationDepth() >= 1 &&
                    card.NotificationDepth() <= kMaxNotificationDepth,
                "the cascade of notifications stays shallow");
    fuzz::Check(card.CellText(index) != told[index],
                "only a change is notified");
    told[index] = card.CellText(index);
  });
  card.Start();

  Input input(data, size);
  while (!input.Empty()) {
    namespace f = card::field;
    switch (input.Byte() % 4) {
      case 0: {
        const int index = input.Byte() % card::kFieldCount;
        const std::string text = input.Text();
        card.SetCellText(index, text);
        const bool typed = index < f::SubscriptionDue ||
                           index == f::MeteredCharged ||
                           index == f::MeteredPaid;
        if (typed) {
          fuzz::Check(card.CellText(index) == text ||
                          (text.empty() && card.CellText(index) == "0"),
                      "a typed cell keeps its text, an empty amount gets 0");
        }
        break;
      }
      case 1: {
        const card::BenefitOption option =
            card::kBenefits[input.Byte() % card::kBenefitCount].option;
        card.ChooseBenefit(option);
        fuzz::Check(card.ChosenBenefit() == option, "the option is chosen");
        fuzz::Check(card.CellText(f::SubscriptionCharged) == "1,3",
                    "choosing an option puts back the charge 1,3");
        break;
      }
      case 2:
        card.ResetForNextEntry();
        for (int i = f::Surname; i <= f::AccountNumber; ++i) {
          fuzz::Check(card.CellText(i).empty(), "a reset empties the names");
        }
        fuzz::Check(card.CellText(f::SubscriptionCharged) == "1,3" &&
                        card.CellText(f::SubscriptionPaid) == "0" &&
                        card.CellText(f::MeteredCharged) == "0" &&
                        card.CellText(f::MeteredPaid) == "0",
                    "a reset puts back the initial amounts");
        break;
      case 3: {
        card::ResultRow row;
        for (std::string& text : row) text = input.Text();
        card.LoadFromResults(row);
        for (int i = f::Surname; i <= f::AccountNumber; ++i) {
          fuzz::Check(card.CellText(i) == row[i],
                      "a loaded row fills the names");
        }
        break;
      }
    }
    fuzz::Check(card.NotificationDepth() == 0,
                "no notification runs between operations");
    fuzz::Check(told == card.Snapshot(), "every change is notified");
    fuzz::Check(
        card.BenefitDivisor() == card::Benefit(card.ChosenBenefit()).divisor,
        "the divisor is the chosen option's");
    CheckSettled(card);
  }
  return 0;
}
