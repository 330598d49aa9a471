// Times SearchRecords on a subscriber file against `LC_ALL=C grep -c` for the
// anchored surname pattern on the same file, in the same run.
//
//   search_bench [benchmark flags] PATH MODE QUERY
//     MODE is surname, first-name or telephone; grep looks for QUERY as the
//     surname in the surname mode, else for the first line's surname.
//   search_bench [benchmark flags]
//     generates 1,000,000 cards in /tmp and times a surname with about 1 %
//     of matches, a telephone number, and a surname that every line has.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "bench/blank_file_generator.h"
#include "records/cp1251.h"
#include "records/line_reader.h"
#include "records/search.h"

extern char** environ;

namespace {

constexpr int kDefaultCount = 1'000'000;

// `LC_ALL=C grep -c PATTERN PATH`: the count it prints, or -1.
long GrepCount(const std::string& pattern, const std::filesystem::path& path) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
  std::string grep = "grep", count = "-c", pattern_arg = pattern,
              path_arg = path.string();
  std::vector<char*> argv = {grep.data(), count.data(), pattern_arg.data(),
                             path_arg.data(), nullptr};
  std::vector<std::string> variables = {"LC_ALL=C"};
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (std::string_view(*variable).starts_with("PATH=")) {
      variables.emplace_back(*variable);
    }
  }
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  const int spawned =
      posix_spawnp(&pid, "grep", &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  std::string output;
  char chunk[64];
  for (ssize_t n; (n = read(pipe_ends[0], chunk, sizeof chunk)) > 0;) {
    output.append(chunk, static_cast<std::size_t>(n));
  }
  close(pipe_ends[0]);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return output.empty() ? -1 : std::stol(output);
}

// The Windows-1251 bytes of `utf8`; the benchmark's own texts always fit.
std::string Cp1251(std::string_view utf8) {
  auto bytes = records::EncodeCp1251(utf8);
  return std::holds_alternative<std::string>(bytes)
             ? std::get<std::string>(bytes)
             : std::string();
}

std::string FirstSurname(const std::filesystem::path& path) {
  records::Result<records::LineReader> reader = records::LineReader::Open(path);
  std::string_view line;
  if (!reader || !reader.value().Next(line).ok()) return {};
  return records::DecodeCp1251(line.substr(0, line.find(' ')));
}

void BenchGrep(benchmark::State& state, std::string pattern,
               std::filesystem::path path) {
  long count = 0;
  for (auto _ : state) {
    count = GrepCount(pattern, path);
  }
  state.counters["lines"] = static_cast<double>(count);
}

// `matched_bytes`, when known, is the bytes of the lines that match, to
// compare the results' memory with.
void BenchSearch(benchmark::State& state, records::SearchMode mode,
                 std::string query, std::filesystem::path path,
                 double matched_bytes) {
  const double file_bytes =
      static_cast<double>(std::filesystem::file_size(path));
  records::SearchOutcome outcome;
  std::size_t memory = 0;
  for (auto _ : state) {
    records::SearchResults results;
    outcome = records::SearchRecords(
        mode, [&query] { return query; }, results, {}, path);
    memory = results.MemoryBytes();
    benchmark::DoNotOptimize(results);
  }
  if (outcome.failure) {
    state.SkipWithError(outcome.failure->message.c_str());
    return;
  }
  state.counters["rows"] = outcome.rows_added;
  state.counters["result_MB"] = static_cast<double>(memory) / 1e6;
  state.counters["file_MB"] = file_bytes / 1e6;
  if (matched_bytes > 0) {
    state.counters["result/lines"] =
        static_cast<double>(memory) / matched_bytes;
  }
}

// Keeps the real time of each benchmark, the least over its repetitions
// since the machine may be shared, to print the ratios to grep.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const double seconds =
          run.real_accumulated_time / static_cast<double>(run.iterations);
      const auto [entry, added] =
          seconds_.emplace(run.benchmark_name(), seconds);
      if (!added) entry->second = std::min(entry->second, seconds);
    }
  }
  void PrintRatios(const std::string& grep_name) const {
    const auto grep = std::find_if(
        seconds_.begin(), seconds_.end(),
        [&](const auto& entry) { return entry.first.starts_with(grep_name); });
    if (grep == seconds_.end()) return;
    for (const auto& [name, seconds] : seconds_) {
      std::printf("%-60s %8.1f ms  %5.2fx grep\n", name.c_str(), seconds * 1e3,
                  seconds / grep->second);
    }
  }

 private:
  std::map<std::string, double> seconds_;
};

records::SearchMode ParseMode(std::string_view text) {
  if (text == "surname") return records::SearchMode::kBySurname;
  if (text == "first-name") return records::SearchMode::kByFirstName;
  if (text == "telephone") return records::SearchMode::kByTelephone;
  return records::SearchMode::kNone;
}

std::filesystem::path Generate(const std::string& name,
                               const bench::BlankFileOptions& options) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / name;
  std::printf("writing %d cards to %s\n", options.count, path.c_str());
  records::Result<std::uintmax_t> size = bench::WriteBlankFile(path, options);
  if (!size) {
    std::fprintf(stderr, "%s\n", size.failure().message.c_str());
    return {};
  }
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::vector<std::filesystem::path> generated;
  std::string grep_name;
  auto add_grep = [&](const std::string& surname,
                      const std::filesystem::path& path) {
    grep_name = "grep -c '^" + surname + " ' " + path.filename().string();
    benchmark::RegisterBenchmark(grep_name.c_str(), BenchGrep,
                                 "^" + Cp1251(surname) + " ", path)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  };
  auto add_search = [](std::string_view mode_name, records::SearchMode mode,
                       const std::string& query,
                       const std::filesystem::path& path,
                       double matched_bytes = 0) {
    const std::string name = "SearchRecords " + std::string(mode_name) + " '" +
                             query + "' " + path.filename().string();
    benchmark::RegisterBenchmark(name.c_str(), BenchSearch, mode, query, path,
                                 matched_bytes)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  };

  if (argc == 4) {
    const std::filesystem::path path = argv[1];
    const records::SearchMode mode = ParseMode(argv[2]);
    if (mode == records::SearchMode::kNone || !std::filesystem::exists(path)) {
      std::fprintf(stderr,
                   "usage: search_bench [PATH surname|first-name|telephone "
                   "QUERY]\n");
      return 2;
    }
    add_grep(mode == records::SearchMode::kBySurname ? std::string(argv[3])
                                                     : FirstSurname(path),
             path);
    add_search(argv[2], mode, argv[3], path);
  } else if (argc == 1) {
    bench::BlankFileOptions options;
    options.count = kDefaultCount;
    const std::filesystem::path path = Generate("search_bench.txt", options);
    options.one_surname = true;
    const std::filesystem::path same =
        Generate("search_bench_same.txt", options);
    if (path.empty() || same.empty()) return 1;
    generated = {path, same};

    const std::string surname(bench::kSurnames[0]);
    options.one_surname = false;
    bench::BlankFileGenerator cards(options);
    std::string telephone;
    while (telephone.empty()) {
      telephone = cards.Next()[card::field::SubscriberNumber];
    }
    add_grep(surname, path);
    add_search("surname", records::SearchMode::kBySurname, surname, path);
    add_search("telephone", records::SearchMode::kByTelephone, telephone, path);
    // Every line matches: its bytes are the file's but for the line breaks.
    const double same_lines = static_cast<double>(
        std::filesystem::file_size(same) - 2 * std::uintmax_t(options.count));
    add_search("surname", records::SearchMode::kBySurname, surname, same,
               same_lines);
  } else {
    std::fprintf(stderr,
                 "usage: search_bench [PATH surname|first-name|telephone "
                 "QUERY]\n");
    return 2;
  }

  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios(grep_name);
  for (const std::filesystem::path& path : generated) {
    std::filesystem::remove(path);
  }
  benchmark::Shutdown();
  return 0;
}
