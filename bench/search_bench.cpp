// Times SearchRecords on subscriber files against `grep -c` and `rg -j1 -c`
// (ripgrep on one thread) looking for the same lines on the same files, and
// `wc -l`, one pass over the file, which it runs itself in the same run, and
// prints the ratios. The peers' times are whole processes, start-up
// included; they look for the query's bytes in one encoding only, the
// file's, where the search looks for both; for a telephone number, which a
// pattern cannot compare as a number, for the file's first surname.
//
//   search_bench [benchmark flags] PATH MODE QUERY
//     MODE is surname, first-name or telephone.
//   search_bench [benchmark flags]
//     generates in the temporary folder 1,000,000 cards (those of
//     `make-blank-file PATH 1000000 7`), the same cards in
//     UTF-8, as many with one surname, 4,000,000 short lines, and a 10 MB
//     line ending in the surname before 100,000 cards; times the surname
//     (about 1 % of matches, with and without a progress function that
//     reads the clock, and in the UTF-8 copy), the first name, a
//     telephone number, a surname that every line has (with and without
//     progress), a surname that no line has, and the surname on the short
//     lines and after the long line.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "records/cp1251.h"
#include "records/line_encoding.h"
#include "records/line_reader.h"
#include "search/search.h"
#include "testdata/blank_file_generator.h"

extern char** environ;

namespace {

constexpr int kDefaultCount = 1'000'000;

// Runs `argv` with LC_ALL=C and the caller's PATH alone, and returns the
// number it prints, or -1 if it does not run or prints none.
long RunCount(std::vector<std::string> argv) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
  std::vector<char*> args;
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
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
      posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
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
  records::Result<std::string> bytes = records::EncodeCp1251(utf8);
  return bytes ? bytes.value() : std::string();
}

// A text's bytes as the file holds them: in UTF-8 where its first line is
// UTF-8, else in Windows-1251.
std::string FileBytes(std::string_view text,
                      const std::filesystem::path& path) {
  records::Result<records::LineReader> reader = records::LineReader::Open(path);
  std::string_view line;
  const bool utf8 = reader && reader.value().Next(line).ok() &&
                    records::EncodingOf(line) == records::LineEncoding::kUtf8;
  return utf8 ? std::string(text) : Cp1251(text);
}

// What the peers look for: lines whose piece 0 or 1 is a text.
struct Peered {
  int field;
  std::string text;
};

// The pattern before the text and its space.
std::string FieldStart(int field) { return field == 0 ? "^" : "^[^ \r]* "; }

// ripgrep's pattern: the text as hexadecimal escapes, Unicode off, since
// the file need not be UTF-8.
std::string RipgrepPattern(int field, std::string_view bytes) {
  std::string pattern = "(?-u)" + FieldStart(field);
  char escape[8];
  for (const char c : std::string(bytes) + " ") {
    std::snprintf(escape, sizeof escape, "\\x%02X",
                  static_cast<unsigned char>(c));
    pattern += escape;
  }
  return pattern;
}

std::string FirstSurname(const std::filesystem::path& path) {
  records::Result<records::LineReader> reader = records::LineReader::Open(path);
  std::string_view line;
  if (!reader || !reader.value().Next(line).ok()) return {};
  return records::DecodeLine(line.substr(0, line.find(' ')),
                             records::EncodingOf(line));
}

void BenchPeer(benchmark::State& state, std::vector<std::string> argv) {
  long count = 0;
  for (auto _ : state) {
    count = RunCount(argv);
  }
  if (count < 0) {
    state.SkipWithError((argv[0] + " did not run").c_str());
    return;
  }
  state.counters["lines"] = static_cast<double>(count);
}

// `matched_bytes`, when known, is the bytes of the lines that match, to
// compare the results' memory with.
void BenchSearch(benchmark::State& state, search::SearchMode mode,
                 std::string query, std::filesystem::path path,
                 double matched_bytes, bool with_progress) {
  const double file_bytes =
      static_cast<double>(std::filesystem::file_size(path));
  // The window's progress function reads the clock at every call.
  const search::Progress progress =
      with_progress ? search::Progress([](std::uint64_t, std::uint64_t) {
        benchmark::DoNotOptimize(std::chrono::steady_clock::now());
        return true;
      })
                    : search::Progress();
  search::SearchOutcome outcome;
  std::size_t memory = 0;
  int rows = 0;
  for (auto _ : state) {
    search::SearchResults results;
    outcome = search::SearchRecords(
        mode, [&query] { return query; }, results, progress, path);
    memory = results.MemoryBytes();
    rows = results.RowCount();
    benchmark::DoNotOptimize(results);
  }
  if (!outcome) {
    state.SkipWithError(outcome.failure().message.c_str());
    return;
  }
  state.counters["rows"] = rows;
  state.counters["result_MB"] = static_cast<double>(memory) / 1e6;
  state.counters["file_MB"] = file_bytes / 1e6;
  if (matched_bytes > 0) {
    state.counters["result/lines"] =
        static_cast<double>(memory) / matched_bytes;
  }
}

// Keeps the real time of each benchmark, the least over its repetitions
// since the machine may be shared, and prints each search's ratios to the
// peers on its file.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  struct Peers {
    std::string grep;
    std::string ripgrep;
    std::string wc;
  };

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const double seconds =
          run.real_accumulated_time / static_cast<double>(run.iterations);
      const std::string name = run.run_name.function_name;
      const auto [entry, added] = seconds_.emplace(name, seconds);
      if (!added) entry->second = std::min(entry->second, seconds);
    }
  }

  void AddSearch(const std::string& name, Peers peers) {
    searches_.emplace_back(name, std::move(peers));
  }

  void PrintRatios() const {
    std::printf("\n%s %9s %7s %7s %7s\n", Padded("").c_str(), "ms", "x grep",
                "x rg", "x wc");
    for (const auto& [name, peers] : searches_) {
      const double seconds = Seconds(name);
      std::printf("%s %9.1f %7.2f %7.2f %7.2f\n", Padded(name).c_str(),
                  seconds * 1e3, seconds / Seconds(peers.grep),
                  seconds / Seconds(peers.ripgrep),
                  seconds / Seconds(peers.wc));
    }
    for (const auto& [name, seconds] : seconds_) {
      if (name.starts_with("SearchRecords")) continue;
      std::printf("%s %9.1f\n", Padded(name).c_str(), seconds * 1e3);
    }
  }

 private:
  // The UTF-8 text padded with spaces to a column of 64 characters.
  static std::string Padded(std::string text) {
    const auto characters = std::count_if(
        text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
    text.append(static_cast<std::size_t>(std::max<long>(0, 64 - characters)),
                ' ');
    return text;
  }

  double Seconds(const std::string& name) const {
    const auto found = seconds_.find(name);
    return found == seconds_.end() ? 0 : found->second;
  }

  std::map<std::string, double> seconds_;
  std::vector<std::pair<std::string, Peers>> searches_;
};

search::SearchMode ParseMode(std::string_view text) {
  if (text == "surname") return search::SearchMode::kBySurname;
  if (text == "first-name") return search::SearchMode::kByFirstName;
  if (text == "telephone") return search::SearchMode::kByTelephone;
  return search::SearchMode::kNone;
}

std::filesystem::path TempPath(const std::string& name) {
  return std::filesystem::temp_directory_path() / name;
}

// Writes lines made by `line` (given the line's number, returns its bytes
// with the break) until `count` lines are written.
template <typename Line>
bool WriteLines(const std::filesystem::path& path, int count,
                const Line& line) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  for (int i = 0; i < count && file; ++i) file << line(i);
  return static_cast<bool>(file);
}

// The generated files, removed at the end.
struct Files {
  std::filesystem::path cards, utf8_cards, same, short_lines, long_line;
  ~Files() {
    for (const auto* path :
         {&cards, &utf8_cards, &same, &short_lines, &long_line}) {
      if (!path->empty()) std::filesystem::remove(*path);
    }
  }
};

bool Generate(Files& files) {
  testdata::BlankFileOptions options;
  options.count = kDefaultCount;
  const auto write_cards = [&](std::filesystem::path& path,
                               const std::string& name) {
    path = TempPath(name);
    std::printf("writing %d cards to %s\n", options.count, path.c_str());
    records::Result<std::uintmax_t> size =
        testdata::WriteBlankFile(path, options);
    if (!size) std::fprintf(stderr, "%s\n", size.failure().message.c_str());
    return size.ok();
  };
  if (!write_cards(files.cards, "search_bench.txt")) return false;

  // The same cards as a text editor saves them in UTF-8.
  files.utf8_cards = TempPath("search_bench_utf8.txt");
  std::printf("writing them in UTF-8 to %s\n", files.utf8_cards.c_str());
  {
    records::Result<records::LineReader> reader =
        records::LineReader::Open(files.cards);
    std::ofstream utf8(files.utf8_cards, std::ios::binary | std::ios::trunc);
    std::string_view line;
    while (reader && reader.value().Next(line).value()) {
      utf8 << records::DecodeCp1251(line) << "\r\n";
    }
    if (!reader || !utf8) return false;
  }

  options.one_surname = true;
  if (!write_cards(files.same, "search_bench_same.txt")) return false;

  files.short_lines = TempPath("search_bench_short.txt");
  std::printf("writing 4,000,000 short lines to %s\n",
              files.short_lines.c_str());
  std::mt19937 random(1);
  if (!WriteLines(files.short_lines, 4'000'000, [&](int) {
        return Cp1251(
                   testdata::kSurnames[random() % testdata::kSurnames.size()]) +
               (random() % 2 == 0 ? " " : "") + "\r\n";
      })) {
    return false;
  }

  files.long_line = TempPath("search_bench_long_line.txt");
  std::printf("writing a 10 MB line and 100,000 cards to %s\n",
              files.long_line.c_str());
  const std::string surname = Cp1251(testdata::kSurnames[0]);
  const std::string filler = Cp1251(testdata::kSurnames[1]) + " ";
  std::string long_line;
  while (long_line.size() < 10'000'000) long_line += filler;
  long_line += surname + "\r\n";
  records::Result<records::LineReader> cards =
      records::LineReader::Open(files.cards);
  std::string_view card;
  return cards && WriteLines(files.long_line, 100'001, [&](int i) {
           if (i == 0) return long_line;
           return cards.value().Next(card).value() ? std::string(card) + "\r\n"
                                                   : std::string();
         });
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  std::map<std::string, RatioReporter::Peers> peers;  // by what and file
  std::set<std::string> wc_files;
  const auto add_peers = [&](const Peered& what,
                             const std::filesystem::path& path) {
    const std::string file = path.filename().string();
    // Shown without the CR, which would break the line.
    const std::string shown = "'" +
                              std::string(what.field == 0 ? "^" : "^[^ ]* ") +
                              what.text + " ' " + file;
    if (peers.count(shown) > 0) return peers[shown];
    RatioReporter::Peers names{"grep -c " + shown, "rg -j1 -c " + shown,
                               "wc -l " + file};
    const std::string bytes = FileBytes(what.text, path);
    benchmark::RegisterBenchmark(
        names.grep.c_str(), BenchPeer,
        std::vector<std::string>{
            "grep", "-c", FieldStart(what.field) + bytes + " ", path.string()})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(
        names.ripgrep.c_str(), BenchPeer,
        std::vector<std::string>{"rg", "-j1", "-c", "--include-zero",
                                 RipgrepPattern(what.field, bytes),
                                 path.string()})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    if (wc_files.insert(file).second) {
      benchmark::RegisterBenchmark(
          names.wc.c_str(), BenchPeer,
          std::vector<std::string>{"wc", "-l", path.string()})
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    }
    return peers[shown] = names;
  };
  const auto add_search = [&](std::string_view mode_name,
                              const std::string& query,
                              const std::filesystem::path& path,
                              double matched_bytes = 0,
                              bool with_progress = false) {
    const std::string name = "SearchRecords " + std::string(mode_name) + " '" +
                             query + "' " + path.filename().string() +
                             (with_progress ? " +progress" : "");
    benchmark::RegisterBenchmark(name.c_str(), BenchSearch,
                                 ParseMode(mode_name), query, path,
                                 matched_bytes, with_progress)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    const search::SearchMode mode = ParseMode(mode_name);
    const Peered what =
        mode == search::SearchMode::kByTelephone ? Peered{0, FirstSurname(path)}
        : mode == search::SearchMode::kByFirstName ? Peered{1, query}
                                                   : Peered{0, query};
    reporter.AddSearch(name, add_peers(what, path));
  };

  Files files;
  if (argc == 4) {
    const std::filesystem::path path = argv[1];
    if (ParseMode(argv[2]) == search::SearchMode::kNone ||
        !std::filesystem::exists(path)) {
      std::fprintf(stderr,
                   "usage: search_bench [PATH surname|first-name|telephone "
                   "QUERY]\n");
      return 2;
    }
    add_search(argv[2], argv[3], path);
  } else if (argc == 1) {
    if (!Generate(files)) return 1;
    const std::string surname(testdata::kSurnames[0]);
    testdata::BlankFileOptions options;
    testdata::BlankFileGenerator cards(options);
    std::string first_name;
    std::string telephone;
    while (telephone.empty()) {
      const card::SubscriberRecord card = cards.Next();
      first_name = card[card::field::FirstName];
      telephone = card[card::field::SubscriberNumber];
    }
    add_search("surname", surname, files.cards);
    add_search("surname", surname, files.utf8_cards);
    add_search("surname", surname, files.cards, 0, true);
    add_search("first-name", first_name, files.cards);
    add_search("telephone", telephone, files.cards);
    // Every line matches: its bytes are the file's but for the line breaks.
    const double same_lines =
        static_cast<double>(std::filesystem::file_size(files.same) -
                            2 * std::uintmax_t(kDefaultCount));
    add_search("surname", surname, files.same, same_lines);
    add_search("surname", surname, files.same, same_lines, true);
    add_search("surname", surname + "а", files.cards);
    add_search("surname", surname, files.short_lines);
    add_search("surname", surname, files.long_line);
  } else {
    std::fprintf(stderr,
                 "usage: search_bench [PATH surname|first-name|telephone "
                 "QUERY]\n");
    return 2;
  }

  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
