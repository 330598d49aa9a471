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

// Holds the data behind the card window: the 15 cell texts, the benefit
// divisor and the chosen option. A write that changes a cell raises the
// change notification before SetCellText returns: the watchers are told
// first, then the recalculation runs, its own writes nesting until nothing
// changes. A write of the text already held raises nothing.
class SubscriberCard {
 public:
  // Learns of every cell change; it must not write to the card itself.
  using Watcher = std::function<void(int index)>;
  // Learns of a new failed cell (see FailedCell) once the outermost
  // notification has settled; it must not write to the card itself.
  using FailedCellWatcher = std::function<void(std::optional<int> cell)>;

  // Creates the card with the initial texts of the field table and option
  // "0%" marked, raising no notification.
  SubscriberCard();

  // A copy holds the same texts, divisor and option, and has no watchers.
  SubscriberCard(const SubscriberCard&) = default;
  SubscriberCard& operator=(const SubscriberCard&) = default;
  SubscriberCard(SubscriberCard&&) = default;
  SubscriberCard& operator=(SubscriberCard&&) = default;

  // `index` is 0 to 14 in every call below.
  const std::string& CellText(int index) const { return cells_[index]; }
  void SetCellText(int index, std::string_view text);

  // Returns ParseNumber of the cell's text, remembered until the cell
  // changes, since every recalculation reads all nine billing cells.
  std::optional<double> CellNumber(int index) const;
  // Writes FormatNumber(value) by SetCellText, skipping the formatting when
  // the cell still holds the text written for this very value.
  void SetCellNumber(int index, double value);

  std::int16_t BenefitDivisor() const { return benefit_divisor_; }
  BenefitOption ChosenBenefit() const { return chosen_benefit_; }

  // Sets the option's divisor, then ResetSubscriptionCharge.
  void ChooseBenefit(BenefitOption option);
  // Writes "0", then "1,3", into the subscription charge, so that the card is
  // recalculated under the divisor in force even if it held "1,3" already.
  void ResetSubscriptionCharge();
  // Empties the names and puts the initial amounts back, after a save; the
  // divisor and the option stay.
  void ResetForNextEntry();
  // Writes cells 0 to 13 in order; cell 14 is left to the recalculation.
  void LoadFromResults(const ResultRow& texts);
  // Runs the card window's start: divisor 1, then option "0%" chosen by the
  // program.
  void Start();

  // Returns the 15 texts as they stand.
  const SubscriberRecord& Snapshot() const { return cells_; }

  // Returns the billing cell at which the recalculation stops, because its
  // text is not a number, or nullopt while the table computes.
  std::optional<int> FailedCell() const { return failed_cell_; }

  // Counts the change notifications running now, nested (0 outside any).
  int NotificationDepth() const { return notifications_.depth; }

  void Watch(Watcher watcher);
  void WatchFailedCell(FailedCellWatcher watcher);

 private:
  // Stores the text; false when the cell held it already.
  bool Store(int index, std::string_view text);
  void Notify(int index);

  // Remembers what is known of a cell's text as a number; every change
  // resets it.
  struct NumberMemo {
    bool parsed = false;
    std::optional<double> number;  // when parsed
    bool written = false;
    double written_value = 0;  // when written by SetCellNumber
  };

  // Holds who is told of the card's changes and how deep the telling runs;
  // a copy does not take them.
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
