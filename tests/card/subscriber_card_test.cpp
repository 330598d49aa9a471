#include "card/subscriber_card.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(SubscriberCard, CreationStateHoldsTheInitialTexts) {
  const SubscriberCard card;
  EXPECT_EQ(card.Snapshot(),
            (SubscriberRecord{"", "", "", "", "", "", "1,3", "0", "0", "0", "0",
                              "0", "0", "0", "0"}));
  EXPECT_EQ(card.ChosenBenefit(), BenefitOption::kNone);
  EXPECT_EQ(card.FailedCell(), std::nullopt);
  EXPECT_EQ(card.NotificationDepth(), 0);
}

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
  EXPECT_EQ(card.BenefitDivisor(), 1);
  EXPECT_EQ(card.ChosenBenefit(), BenefitOption::kNone);
  EXPECT_EQ(card.NotificationDepth(), 0);
}

TEST(SubscriberCard, WritingTheTextHeldRaisesNothing) {
  SubscriberCard card;
  card.Start();
  Recorder recorder(card);
  for (int i = 0; i < kFieldCount; ++i) card.SetCellText(i, kStartTexts[i]);
  EXPECT_TRUE(recorder.Take().empty());

  card.SetCellText(field::Surname, "Петров");
  EXPECT_EQ(recorder.Take(),
            (std::vector<Change>{{field::Surname, "Петров", 1}}));
}

TEST(SubscriberCard, WatcherLearnsOfTheChangeBeforeTheRecalculation) {
  SubscriberCard card;
  card.Start();
  std::string due_when_told;
  card.Watch([&](int index) {
    if (index == field::MeteredCharged)
      due_when_told = card.CellText(field::MeteredDue);
  });
  card.SetCellText(field::MeteredCharged, "4");
  EXPECT_EQ(due_when_told, "0");
  EXPECT_EQ(card.CellText(field::MeteredDue), "4");
}

struct BenefitCase {
  BenefitOption option;
  std::int16_t divisor;
  SubscriberRecord after;  // after "7" typed into cell 6, then the option
};

class ChoosingABenefit : public testing::TestWithParam<BenefitCase> {};

TEST_P(ChoosingABenefit, PutsTheChargeBackAndDivides) {
  SubscriberCard card;
  card.Start();
  card.SetCellText(field::SubscriptionCharged, "7");
  card.ChooseBenefit(GetParam().option);
  EXPECT_EQ(card.BenefitDivisor(), GetParam().divisor);
  EXPECT_EQ(card.ChosenBenefit(), GetParam().option);
  EXPECT_EQ(card.Snapshot(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Options, ChoosingABenefit,
    testing::Values(BenefitCase{BenefitOption::kNone, 1, kStartTexts},
                    BenefitCase{BenefitOption::kTwenty,
                                5,
                                {"", "", "", "", "", "", "1,3", "0", "0,26",
                                 "0", "0", "0", "0,26", "0", "0,052"}},
                    BenefitCase{BenefitOption::kTwentyFive,
                                4,
                                {"", "", "", "", "", "", "1,3", "0", "0,325",
                                 "0", "0", "0", "0,325", "0", "0,08125"}},
                    BenefitCase{BenefitOption::kFifty,
                                2,
                                {"", "", "", "", "", "", "1,3", "0", "0,65",
                                 "0", "0", "0", "0,65", "0", "0,325"}}));

TEST(SubscriberCard, ChoosingTheChosenOptionAgainResetsTheCharge) {
  SubscriberCard card;
  card.Start();
  card.SetCellText(field::SubscriptionCharged, "7");
  Recorder recorder(card);
  card.ChooseBenefit(BenefitOption::kNone);
  EXPECT_EQ(card.Snapshot(), kStartTexts);
  // Even with "1,3" in place the charge passes through "0" again.
  card.ChooseBenefit(BenefitOption::kNone);
  const std::vector<Change> changes = recorder.Take();
  EXPECT_EQ(std::count(changes.begin(), changes.end(),
                       Change{field::SubscriptionCharged, "0", 1}),
            2);
}

// The card after a save is the card as it was when the benefit was chosen,
// even past a non-number that stopped the runs.
TEST(SubscriberCard, ResetForNextEntryKeepsTheBenefit) {
  for (const BenefitOption option :
       {BenefitOption::kNone, BenefitOption::kFifty}) {
    SubscriberCard card;
    card.Start();
    card.ChooseBenefit(option);
    const SubscriberRecord chosen = card.Snapshot();
    for (const auto& [cell, text] : std::vector<std::pair<int, const char*>>{
             {field::Surname, "Иванов"},
             {field::Address, "Ленина 5"},
             {field::SubscriptionCharged, "10"},
             {field::SubscriptionPaid, "abc"},
             {field::MeteredCharged, "7"},
             {field::MeteredPaid, "2"}}) {
      card.SetCellText(cell, text);
    }
    card.ResetForNextEntry();
    EXPECT_EQ(card.Snapshot(), chosen);
    EXPECT_EQ(card.ChosenBenefit(), option);
    EXPECT_EQ(card.FailedCell(), std::nullopt);
  }
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
