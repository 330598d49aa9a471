#include "card/recalculate.h"

#include <array>

#include "card/subscriber_card.h"

namespace card {

void Recalculate(SubscriberCard& card) {
  std::array<double, kFieldCount> x{};
  for (int i = field::SubscriptionCharged; i <= field::TotalDue; ++i) {
    if (card.CellText(i).empty()) card.SetCellText(i, "0");
    const std::optional<double> value = card.CellNumber(i);
    if (!value) return;
    x[i] = *value;
  }
  const double d = card.BenefitDivisor();
  // Every formula uses the values read above, never a cell written below.
  const double subscription_due =
      (x[field::SubscriptionCharged] - x[field::SubscriptionPaid]) / d;
  const double metered_due =
      (x[field::MeteredCharged] - x[field::MeteredPaid]) / d;
  const double total_charged =
      (x[field::MeteredCharged] + x[field::SubscriptionCharged]) / d;
  const double total_paid =
      (x[field::MeteredPaid] + x[field::SubscriptionPaid]) / d;
  // Divided twice on purpose: the billing rules divide the divided totals.
  const double total_due = (x[field::TotalCharged] - x[field::TotalPaid]) / d;
  card.SetCellNumber(field::SubscriptionDue, subscription_due);
  card.SetCellNumber(field::MeteredDue, metered_due);
  card.SetCellNumber(field::TotalCharged, total_charged);
  card.SetCellNumber(field::TotalPaid, total_paid);
  card.SetCellNumber(field::TotalDue, total_due);
}

}  // namespace card
