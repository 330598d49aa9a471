// Times reading a subscriber file of 1,000,000 saved cards with the line
// reader, alone and with SplitLine on every line (bytes per second), and one
// SaveRecord including its flush to the disc (the median of single saves).
//
//   records_bench [benchmark flags]
//     writes the generated file into a fresh folder under the temporary
//     folder and removes it at the end.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "card/subscriber_card.h"
#include "records/line_reader.h"
#include "records/split_line.h"
#include "records/subscriber_file.h"
#include "testdata/blank_file_generator.h"

namespace {

constexpr int kCards = 1'000'000;

void BenchReading(benchmark::State& state, bool split,
                  std::filesystem::path path) {
  const auto file_bytes =
      static_cast<std::int64_t>(std::filesystem::file_size(path));
  std::size_t lines = 0;
  std::size_t pieces = 0;
  for (auto _ : state) {
    records::Result<records::LineReader> reader =
        records::LineReader::Open(path);
    if (!reader) {
      state.SkipWithError(reader.failure().message.c_str());
      return;
    }
    lines = 0;
    pieces = 0;
    std::string_view line;
    while (reader.value().Next(line).value()) {
      ++lines;
      if (split) pieces += records::SplitLine(line).size();
      benchmark::DoNotOptimize(line.data());
    }
  }
  state.SetBytesProcessed(state.iterations() * file_bytes);
  state.counters["lines"] = static_cast<double>(lines);
  if (split) state.counters["pieces"] = static_cast<double>(pieces);
}

void BenchSave(benchmark::State& state, std::filesystem::path path) {
  card::SubscriberCard card;
  card.Start();
  for (auto _ : state) {
    if (records::Result<void> saved = records::SaveRecord(card, path); !saved) {
      state.SkipWithError(saved.failure().message.c_str());
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::string pattern =
      (std::filesystem::temp_directory_path() / "records_bench_XXXXXX")
          .string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("records_bench");
    return 1;
  }
  const std::filesystem::path folder = pattern;
  const std::filesystem::path cards = folder / "cards.txt";
  testdata::BlankFileOptions options;
  options.count = kCards;
  std::printf("writing %d cards to %s\n", kCards, cards.c_str());
  records::Result<std::uintmax_t> size =
      testdata::WriteBlankFile(cards, options);
  if (!size) {
    std::fprintf(stderr, "%s\n", size.failure().message.c_str());
    std::filesystem::remove_all(folder);
    return 1;
  }

  benchmark::RegisterBenchmark("LineReader 1,000,000 cards", BenchReading,
                               false, cards)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("LineReader+SplitLine 1,000,000 cards",
                               BenchReading, true, cards)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  // One save a repetition, so that the median is that of single saves.
  benchmark::RegisterBenchmark("SaveRecord", BenchSave,
                               folder / records::kSubscriberFileName)
      ->Unit(benchmark::kMicrosecond)
      ->UseRealTime()
      ->Iterations(1)
      ->Repetitions(200)
      ->ReportAggregatesOnly(true);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(folder);
  return 0;
}
