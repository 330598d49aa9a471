#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card/benefit.h"
#include "card/subscriber_record.h"

namespace card {

// The data behind the card window: the 15 cell texts, the benefit divisor
// and the chosen benefit option.
//
// A write that changes a cell raises the change notification for its index
// before SetCellText returns: the watchers are told first, then the
// recalculation runs, and its own writes nest until nothing changes. A write
// of the text already held raises nothing.
class SubscriberCard {
 public:
  // Learns of every cell change; it must not write to the card itself.
  using Watcher = std::function<void(int index)>;
  // Learns of a new failed cell (see FailedCell) once the outermost
  // notification has settled; it must not write to the card itself.
  using FailedCellWatcher = std::function<void(std::optional<int> cell)>;

  // The creation state: the initial texts of the field table, option "0%"
  // marked, no notification raised.
  SubscriberCard();

  // A copy holds the same texts, divisor and option, and has no watchers.
  SubscriberCard(const SubscriberCard&) = default;
  SubscriberCard& operator=(const SubscriberCard&) = default;
  SubscriberCard(SubscriberCard&&) = default;
  SubscriberCard& operator=(SubscriberCard&&) = default;

  // `index` is 0 to 14 in every call below.
  const std::string& CellText(int index) const { return cells_[index]; }
  void SetCellText(int index, std::string_view text);

  // ParseNumber of the cell's text; remembered until the cell changes, since
  // every recalculation reads all nine cells of the billing table.
  std::optional<double> CellNumber(int index) const;
  // SetCellText of FormatNumber(value); the formatting is skipped when the
  // cell still holds the text written for this very value.
  void SetCellNumber(int index, double value);

  std::int16_t BenefitDivisor() const { return benefit_divisor_; }
  BenefitOption ChosenBenefit() const { return chosen_benefit_; }

  // Sets the option's divisor, then ResetSubscriptionCharge.
  void ChooseBenefit(BenefitOption option);
  // Writes "0", then "1,3", into the subscription charge, so that the card is
  // recalculated under the divisor in force even if it held "1,3" already.
  void ResetSubscriptionCharge();
  // After a save: names emptied, charge "1,3", the other amounts "0". The
  // divisor and the option stay.
  void ResetForNextEntry();
  // Writes cells 0 to 13 in order; cell 14 is left to the recalculation.
  void LoadFromResults(const ResultRow& texts);
  // The start sequence of the card window: divisor 1, then option "0%"
  // chosen by the program.
  void Start();

  // The 15 texts as they stand.
  const SubscriberRecord& Snapshot() const { return cells_; }

  // The cell of the billing table at which the recalculation stops, because
  // its text is not a number, or nullopt while the table computes.
  std::optional<int> FailedCell() const { return failed_cell_; }

  // How many change notifications are running now, nested (0 outside any).
  int NotificationDepth() const { return notifications_.depth; }

  void Watch(Watcher watcher);
  void WatchFailedCell(FailedCellWatcher watcher);

 private:
  // Stores the text; false when the cell held it already.
  bool Store(int index, std::string_view text);
  void Notify(int index);

  // What is known of a cell's text as a number; reset by every change.
  struct NumberMemo {
    bool parsed = false;
    std::optional<double> number;  // when parsed
    bool written = false;
    double written_value = 0;  // when written by SetCellNumber
  };

  // Who is told of the card's changes, and how deep the telling runs: the
  // card's own, which a copy does not take.
  struct Notifications {
    Notifications() = default;
    Notifications(const Notifications&) {}
    Notifications& operator=(const Notifications&) {
      depth = 0;
      watchers.clear();
      failed_cell_watchers.clear();
      return *this;
    }
    Notifications(Notifications&&) = default;
    Notifications& operator=(Notifications&&) = default;
    ~Notifications() = default;

    int depth = 0;
    std::vector<Watcher> watchers;
    std::vector<FailedCellWatcher> failed_cell_watchers;
  };

  SubscriberRecord cells_;
  mutable std::array<NumberMemo, kFieldCount> memos_{};
  std::int16_t benefit_divisor_ = 1;
  BenefitOption chosen_benefit_ = BenefitOption::kNone;
  std::optional<int> failed_cell_;
  Notifications notifications_;
};

}  // namespace card
