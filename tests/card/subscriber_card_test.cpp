#include "card/subscriber_card.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace card {
namespace {

// Every change notification, as (index, the cell's text, nesting depth).
struct Change {
  int index;
  std::string text;
  int depth;
  bool operator==(const Change&) const = default;
};

class Recorder {
 public:
  explicit Recorder(SubscriberCard& card) {
    card.Watch([this, &card](int index) {
      changes_.push_back(
          {index, card.CellText(index), card.NotificationDepth()});
    });
  }
  std::vector<Change> Take() { return std::exchange(changes_, {}); }

 private:
  std::vector<Change> changes_;
};

const SubscriberRecord kStartTexts{"",    "",  "",  "",  "",    "",  "1,3", "0",
                                   "1,3", "0", "0", "0", "1,3", "0", "1,3"};

TEST(SubscriberCard, StartRaisesTheNestedWritesOfTheRecalculation) {
  SubscriberCard card;
  Recorder recorder(card);
  card.Start();
  // Cell 6 goes to "0" (nothing to recompute) and back to "1,3"; each run
  // then writes from the values it read at its start, so the stale runs
  // further out put cell 14 back to "0" and the runs they nest mend it.
  EXPECT_EQ(recorder.Take(), (std::vector<Change>{
                                 {6, "0", 1},
                                 {6, "1,3", 1},
                                 {8, "1,3", 2},
                                 {12, "1,3", 3},
                                 {14, "1,3", 4},
                                 {14, "0", 3},
                                 {14, "1,3", 4},
                                 {14, "0", 2},
                                 {14, "1,3", 3},
                             }));
  EXPECT_EQ(card.Snapshot(), kStartTexts);
  EXPECT_EQ(card.NotificationDepth(), 0);

  // Choosing the chosen option again, with "1,3" in place, still passes
  // the charge through "0".
  card.ChooseBenefit(BenefitOption::kNone);
  EXPECT_EQ(recorder.Take().at(0), (Change{6, "0", 1}));
  EXPECT_EQ(card.Snapshot(), kStartTexts);
}

// Writes of several cells complete past a non-number, which stays marked;
// the failed-cell watchers hear of each new failed cell once, when the
// outermost notification has settled.
TEST(SubscriberCard, EveryWriteCompletesPastANonNumber) {
  SubscriberCard card;
  card.Start();
  std::vector<std::optional<int>> told;
  card.WatchFailedCell([&](std::optional<int> cell) {
    EXPECT_EQ(card.NotificationDepth(), 0);
    told.push_back(cell);
  });
  card.SetCellText(field::SubscriptionCharged, "7");
  card.SetCellText(field::SubscriptionPaid, "abc");
  card.ResetSubscriptionCharge();
  EXPECT_EQ(card.CellText(field::SubscriptionCharged), "1,3");
  EXPECT_EQ(card.FailedCell(), field::SubscriptionPaid);

  card.LoadFromResults(
      {"Иванов", "", "", "", "", "", "1,3", "x", "", "", "", "", "", "7"});
  EXPECT_EQ(card.CellText(field::SubscriptionPaid), "x");
  EXPECT_EQ(card.CellText(field::TotalPaid), "7");
  EXPECT_EQ(card.FailedCell(), field::SubscriptionPaid);
  card.SetCellText(field::SubscriptionPaid, "0");
  EXPECT_EQ(told, (std::vector<std::optional<int>>{field::SubscriptionPaid,
                                                   std::nullopt}));
}

TEST(SubscriberCard, CopyHasTheTextsButNotTheWatchers) {
  SubscriberCard card;
  card.Start();
  int told = 0;
  card.Watch([&](int) { ++told; });
  SubscriberCard copy = card;
  copy.SetCellText(field::Surname, "Сидоров");
  EXPECT_EQ(told, 0);
  EXPECT_EQ(card.CellText(field::Surname), "");
  EXPECT_EQ(copy.CellText(field::SubscriptionDue), "1,3");
}

}  // namespace
}  // namespace card
