#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "card/benefit.h"
#include "card/subscriber_card.h"

namespace card {
namespace {

using Texts = std::vector<std::string>;

// Cells 8, 11, 12, 13, 14 as they stand.
Texts Derived(const SubscriberCard& card) {
  return {card.CellText(field::SubscriptionDue),
          card.CellText(field::MeteredDue), card.CellText(field::TotalCharged),
          card.CellText(field::TotalPaid), card.CellText(field::TotalDue)};
}

SubscriberCard StartedCard(BenefitOption option = BenefitOption::kNone) {
  SubscriberCard card;
  card.Start();
  card.ChooseBenefit(option);
  return card;
}

struct WorkedValue {
  BenefitOption option;
  std::array<const char*, 4> typed;  // cells 6, 7, 9, 10
  Texts derived;                     // cells 8, 11, 12, 13, 14
};

class WorkedValues : public testing::TestWithParam<WorkedValue> {};

TEST_P(WorkedValues, DerivedCellsSettle) {
  SubscriberCard card = StartedCard(GetParam().option);
  const std::array<int, 4> cells{field::SubscriptionCharged,
                                 field::SubscriptionPaid, field::MeteredCharged,
                                 field::MeteredPaid};
  for (int k = 0; k < 4; ++k) card.SetCellText(cells[k], GetParam().typed[k]);
  EXPECT_EQ(Derived(card), GetParam().derived);
  EXPECT_EQ(card.FailedCell(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Billing, WorkedValues,
    testing::Values(
        WorkedValue{BenefitOption::kNone,
                    {"1,3", "0", "0", "0"},
                    {"1,3", "0", "1,3", "0", "1,3"}},
        WorkedValue{BenefitOption::kTwenty,
                    {"1,3", "0", "0", "0"},
                    {"0,26", "0", "0,26", "0", "0,052"}},
        WorkedValue{BenefitOption::kNone,
                    {"10", "4", "7", "2"},
                    {"6", "5", "17", "6", "11"}},
        WorkedValue{BenefitOption::kNone,
                    {"1,3", "0", "2,5", "1"},
                    {"1,3", "1,5", "3,8", "1", "2,8"}},
        WorkedValue{BenefitOption::kFifty,
                    {"10", "4", "7", "2"},
                    {"3", "2,5", "8,5", "3", "2,75"}},
        WorkedValue{BenefitOption::kTwentyFive,
                    {"1,3", "0,5", "2,5", "1"},
                    {"0,2", "0,375", "0,95", "0,375", "0,14375"}},
        // Rounding to 15 digits hides the binary error of 0,2 + 0,1.
        WorkedValue{BenefitOption::kNone,
                    {"0,2", "0", "0,1", "0"},
                    {"0,2", "0,1", "0,3", "0", "0,3"}},
        WorkedValue{BenefitOption::kTwenty,
                    {"2", "0,1", "0", "0"},
                    {"0,38", "0", "0,4", "0,02", "0,076"}},
        // A negative difference keeps its sign; a negative zero does not.
        WorkedValue{BenefitOption::kNone,
                    {"1,3", "3,8", "0", "0"},
                    {"-2,5", "0", "1,3", "3,8", "-2,5"}},
        WorkedValue{BenefitOption::kNone,
                    {"-0", "0", "-0", "0"},
                    {"0", "0", "0", "0", "0"}},
        // A value below 0,0001 is written in exponent form and read back.
        WorkedValue{BenefitOption::kFifty,
                    {"0,0001", "0", "0", "0"},
                    {"5E-05", "0", "5E-05", "0", "2,5E-05"}},
        // Spaces around a typed amount do not matter.
        WorkedValue{BenefitOption::kNone,
                    {" 7 ", "0", "0", "0"},
                    {"7", "0", "7", "0", "7"}}));

TEST(Recalculate, LettersInDerivedCellStopEveryLaterRun) {
  SubscriberCard card = StartedCard();
  card.SetCellText(field::TotalDue, "abc");
  EXPECT_EQ(card.CellText(field::TotalDue), "abc");
  EXPECT_EQ(card.FailedCell(), field::TotalDue);

  // Every later change fails at the same cell, names included.
  card.SetCellText(field::MeteredCharged, "5");
  card.SetCellText(field::Surname, "Иванов");
  EXPECT_EQ(Derived(card), (Texts{"1,3", "0", "1,3", "0", "abc"}));
  EXPECT_EQ(card.FailedCell(), field::TotalDue);

  // Correcting it brings the whole table up to date.
  card.SetCellText(field::TotalDue, "1");
  EXPECT_EQ(Derived(card), (Texts{"1,3", "5", "6,3", "0", "6,3"}));
  EXPECT_EQ(card.FailedCell(), std::nullopt);
}

TEST(Recalculate, StopsAtTheFirstNonNumberInIndexOrder) {
  SubscriberCard card = StartedCard();
  card.SetCellText(field::MeteredPaid, "x");
  card.SetCellText(field::SubscriptionPaid, "y");
  EXPECT_EQ(card.FailedCell(), field::SubscriptionPaid);
  card.SetCellText(field::SubscriptionPaid, "1");
  EXPECT_EQ(card.FailedCell(), field::MeteredPaid);
  card.SetCellText(field::MeteredPaid, "1");
  EXPECT_EQ(card.FailedCell(), std::nullopt);
  EXPECT_EQ(Derived(card), (Texts{"0,3", "-1", "1,3", "2", "-0,7"}));
}

TEST(Recalculate, EmptyCellAfterTheStopIsNotRefilled) {
  SubscriberCard card = StartedCard();
  ResultRow row{};
  row[field::SubscriptionCharged] = "x";  // cell 9 and the rest stay empty
  card.LoadFromResults(row);
  EXPECT_EQ(card.FailedCell(), field::SubscriptionCharged);
  EXPECT_EQ(card.CellText(field::MeteredCharged), "");
  card.SetCellText(field::SubscriptionCharged, "2");
  EXPECT_EQ(card.CellText(field::MeteredCharged), "0");
  EXPECT_EQ(Derived(card), (Texts{"2", "0", "2", "0", "2"}));
}

TEST(Recalculate, SumBeyondTheDoubleRangeStopsAtItsCell) {
  SubscriberCard card = StartedCard();
  card.SetCellText(field::SubscriptionCharged, "1E308");
  card.SetCellText(field::MeteredCharged, "1E308");
  EXPECT_EQ(card.CellText(field::TotalCharged), "бесконечность");
  EXPECT_EQ(card.FailedCell(), field::TotalCharged);
  // The word stays until the clerk replaces it.
  card.SetCellText(field::MeteredCharged, "0");
  EXPECT_EQ(card.FailedCell(), field::TotalCharged);
  card.SetCellText(field::TotalCharged, "");
  EXPECT_EQ(card.FailedCell(), std::nullopt);
  EXPECT_EQ(card.CellText(field::TotalCharged), "1E+308");
}

}  // namespace
}  // namespace card
