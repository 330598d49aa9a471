// Times one keystroke in the card and the number conversions that every
// recalculation makes.
#include <benchmark/benchmark.h>

#include "card/number_text.h"
#include "card/subscriber_card.h"

namespace {

// A keystroke into the metered charge, with the whole cascade of nested
// recalculations it sets off; two texts alternate so that every write is a
// change.
void BM_KeystrokeIntoMeteredCharge(benchmark::State& state) {
  card::SubscriberCard card;
  card.Start();
  card.ChooseBenefit(card::BenefitOption::kFifty);
  card.SetCellText(card::field::SubscriptionPaid, "0,5");
  card.SetCellText(card::field::MeteredPaid, "1");
  const char* texts[] = {"12,5", "12,55"};
  int k = 0;
  for (auto _ : state) {
    card.SetCellText(card::field::MeteredCharged, texts[k ^= 1]);
    benchmark::DoNotOptimize(card.CellText(card::field::TotalDue));
  }
}
BENCHMARK(BM_KeystrokeIntoMeteredCharge);

void BM_ParseNumber(benchmark::State& state, const char* text) {
  for (auto _ : state) benchmark::DoNotOptimize(card::ParseNumber(text));
}
BENCHMARK_CAPTURE(BM_ParseNumber, amount, "1234,56");
BENCHMARK_CAPTURE(BM_ParseNumber, exponent, "1,23456789012346E+15");
BENCHMARK_CAPTURE(BM_ParseNumber, rejected, "12a");

void BM_FormatNumber(benchmark::State& state, double value) {
  for (auto _ : state) benchmark::DoNotOptimize(card::FormatNumber(value));
}
BENCHMARK_CAPTURE(BM_FormatNumber, amount, 1234.56);
BENCHMARK_CAPTURE(BM_FormatNumber, fifteen_digits, 2.0 / 3);
BENCHMARK_CAPTURE(BM_FormatNumber, exponent, 5e-05);

}  // namespace

BENCHMARK_MAIN();
