#include "card/subscriber_card.h"

#include <bit>
#include <cstdint>
#include <utility>

#include "card/number_text.h"
#include "card/recalculate.h"

namespace card {
namespace {

SubscriberRecord InitialTexts() {
  SubscriberRecord texts;
  for (int i = 0; i < kFieldCount; ++i) texts[i] = kFields[i].initial_text;
  return texts;
}

// Returns the cell at which the next recalculation would stop: the first
// billing cell that holds a text, not a number (an empty cell is refilled
// with "0" and does not stop it).
std::optional<int> FirstNonNumber(const SubscriberCard& card) {
  for (int i = field::SubscriptionCharged; i <= field::TotalDue; ++i) {
    if (!card.CellText(i).empty() && !card.CellNumber(i)) return i;
  }
  return std::nullopt;
}

}  // namespace

SubscriberCard::SubscriberCard() : cells_(InitialTexts()) {}

bool SubscriberCard::Store(int index, std::string_view text) {
  if (cells_[index] == text) return false;
  // Through a temporary: g++ 12 at -O3 wrongly sees an overlapping copy in
  // assign() when the text is a literal.
  cells_[index] = std::string(text);
  memos_[index] = {};
  return true;
}

void SubscriberCard::SetCellText(int index, std::string_view text) {
  if (Store(index, text)) Notify(index);
}

std::optional<double> SubscriberCard::CellNumber(int index) const {
  NumberMemo& memo = memos_[index];
  if (!memo.parsed) {
    memo.number = ParseNumber(cells_[index]);
    memo.parsed = true;
  }
  return memo.number;
}

void SubscriberCard::SetCellNumber(int index, double value) {
  NumberMemo& memo = memos_[index];
  // Bitwise, so that 0 and -0 (both written "0") need no special case.
  if (memo.written && std::bit_cast<std::uint64_t>(memo.written_value) ==
                          std::bit_cast<std::uint64_t>(value)) {
    return;
  }
  const bool changed = Store(index, FormatNumber(value));
  // Remembered before the notification, whose nested writes may change the
  // cell again and reset it.
  memo.written = true;
  memo.written_value = value;
  if (changed) Notify(index);
}

void SubscriberCard::Notify(int index) {
  ++notifications_.depth;
  for (const Watcher& watcher : notifications_.watchers) watcher(index);
  Recalculate(*this);
  --notifications_.depth;
  if (notifications_.depth > 0) return;
  const std::optional<int> failed = FirstNonNumber(*this);
  if (failed == failed_cell_) return;
  failed_cell_ = failed;
  for (const FailedCellWatcher& watcher : notifications_.failed_cell_watchers) {
    watcher(failed);
  }
}

void SubscriberCard::ChooseBenefit(BenefitOption option) {
  chosen_benefit_ = option;
  benefit_divisor_ = Benefit(option).divisor;
  ResetSubscriptionCharge();
}

void SubscriberCard::ResetSubscriptionCharge() {
  SetCellText(field::SubscriptionCharged, "0");
  SetCellText(field::SubscriptionCharged,
              kFields[field::SubscriptionCharged].initial_text);
}

void SubscriberCard::ResetForNextEntry() {
  for (int i = 0; i < kFieldCount; ++i) SetCellText(i, kFields[i].initial_text);
}

void SubscriberCard::LoadFromResults(const ResultRow& texts) {
  for (int i = 0; i < kResultColumnCount; ++i) SetCellText(i, texts[i]);
}

void SubscriberCard::Start() {
  benefit_divisor_ = 1;
  ChooseBenefit(BenefitOption::kNone);
}

void SubscriberCard::Watch(Watcher watcher) {
  notifications_.watchers.push_back(std::move(watcher));
}

void SubscriberCard::WatchFailedCell(FailedCellWatcher watcher) {
  notifications_.failed_cell_watchers.push_back(std::move(watcher));
}

}  // namespace card
