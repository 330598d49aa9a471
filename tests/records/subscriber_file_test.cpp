#include "records/subscriber_file.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <cerrno>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "card/benefit.h"
#include "card/subscriber_card.h"
#include "records/line_reader.h"
#include "tests/support/cp1251_bytes.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/ok.h"
#include "tests/support/temp_folder.h"

namespace records {
namespace {

namespace field = card::field;
using test_support::Cp1251;
using test_support::FailureOf;
using test_support::FaultyFileSystem;
using test_support::Ok;
using test_support::ReadBytes;
using test_support::TempFolder;
using test_support::WriteBytes;

// What a failed save must leave as it was.
struct CardState {
  card::SubscriberRecord cells;
  std::int16_t divisor;
  card::BenefitOption option;
  bool operator==(const CardState&) const = default;
};

CardState StateOf(const card::SubscriberCard& card) {
  return {card.Snapshot(), card.BenefitDivisor(), card.ChosenBenefit()};
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

const std::string kUntouchedLine = "      1,3 0 1,3 0 0 0 1,3 0 1,3 \r\n";
const std::string kEarlier = Cp1251("Сидоров Сидор");

// The file lies in a folder whose name the system's code page may not hold,
// as on a clerk's Windows with Cyrillic folder names, so that every test
// also checks that the path reaches the system whole.
class SubscriberFileTest : public ::testing::Test {
 protected:
  SubscriberFileTest() {
    std::filesystem::create_directory(path_.parent_path());
    card_.Start();
  }

  // Blank.txt holding `bytes`, or no Blank.txt.
  void Prepare(const std::optional<std::string>& bytes) {
    std::filesystem::remove_all(path_);
    if (bytes) WriteBytes(path_, *bytes);
  }
  // Fills the names and the telephone of the card.
  void FillNames() {
    card_.SetCellText(field::Surname, "Петров");
    card_.SetCellText(field::FirstName, "Пётр");
    card_.SetCellText(field::SubscriberNumber, "22");
  }

  TempFolder folder_;
  const std::filesystem::path path_ =
      folder_.path() / u8"Абоненты «Корвант» €" / kSubscriberFileName;
  card::SubscriberCard card_;
};

TEST_F(SubscriberFileTest, AppendsToTheFileAndEndsAnUnendedLastLine) {
  const std::string& line = kUntouchedLine;
  const std::string& earlier = kEarlier;
  struct Case {
    const char* what;
    std::optional<std::string> before;  // none: no file
    std::string after_two_saves;
  };
  const Case cases[] = {
      {"a missing file is created", std::nullopt, line + line},
      {"an empty file", "", line + line},
      {"after CR LF", earlier + "\r\n", earlier + "\r\n" + line + line},
      {"after a lone CR", earlier + "\r", earlier + "\r" + line + line},
      {"after an empty line", "\r\n", "\r\n" + line + line},
      {"no break after the last line", earlier, earlier + "\r\n" + line + line},
      {"a lone LF is no break", earlier + "\n",
       earlier + "\n\r\n" + line + line},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Prepare(c.before);
    EXPECT_TRUE(Ok(SaveRecord(card_, path_)));
    EXPECT_TRUE(Ok(SaveRecord(card_, path_)));
    EXPECT_EQ(ReadBytes(path_), c.after_two_saves);
  }
}

TEST_F(SubscriberFileTest, ResetsTheCardUnderTheBenefitInForce) {
  card_.ChooseBenefit(card::BenefitOption::kFifty);
  card_.SetCellText(field::SubscriptionCharged, "7");
  FillNames();
  ASSERT_TRUE(Ok(SaveRecord(card_, path_)));

  card::SubscriberRecord expected{"",  "",    "",     "",     "",
                                  "",  "1,3", "0",    "0,65", "0",
                                  "0", "0",   "0,65", "0",    "0,325"};
  EXPECT_EQ(card_.Snapshot(), expected);
  EXPECT_EQ(card_.ChosenBenefit(), card::BenefitOption::kFifty);
  EXPECT_EQ(card_.BenefitDivisor(), 2);
}

TEST_F(SubscriberFileTest, NamesTheCellAndTheCharacterItCannotSave) {
  struct Case {
    int index;
    std::string text;
    std::vector<std::string> told;  // parts of the message
  };
  const Case cases[] = {
      {field::FirstName, "Ив😀н", {"«Имя»", "«😀» (U+1F600)"}},
      {field::MeteredCharged,
       "1\u0085",
       {"«Повременная плата, начислено»", "U+0085"}},
      {field::Address, "Мира\r5", {"«Адрес абонента»", "U+000D"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    card_.ResetForNextEntry();
    card_.SetCellText(c.index, c.text);
    const CardState before = StateOf(card_);
    const Failure failure = FailureOf(SaveRecord(card_, path_));
    for (const std::string& part : c.told) {
      EXPECT_TRUE(Contains(failure.message, part)) << failure.message;
    }
    EXPECT_EQ(StateOf(card_), before);
    EXPECT_FALSE(std::filesystem::exists(path_));
  }
}

// The new line keeps the file in one encoding: UTF-8 where the file starts
// with the UTF-8 mark, or where its last line within its last 64 KB that is
// not ASCII alone is UTF-8; otherwise Windows-1251.
TEST_F(SubscriberFileTest, KeepsTheFileInTheEncodingItIsIn) {
  const std::string mark = "\xEF\xBB\xBF";
  const std::string utf8 = "Сидоров Сидор\r\n";
  // ASCII lines that fill more than the last 64 KB.
  std::string filling;
  while (filling.size() <= (std::size_t{64} << 10))
    filling += "Sidorov Sidor\r\n";
  // A UTF-8 line begun before the last 64 KB, which start inside one of its
  // two-byte letters.
  std::string begun = "x";
  for (int i = 0; i < 40'000; ++i) begun += "я";
  begun += "x\r\n";
  struct Case {
    const char* what;
    std::string before;
    bool in_utf8;
    const char* mend;
  };
  const Case cases[] = {
      {"an empty file", "", false, ""},
      {"Windows-1251", kEarlier + "\r\n", false, ""},
      {"UTF-8", utf8, true, ""},
      {"UTF-8 without its last break", "Сидоров", true, "\r\n"},
      {"ASCII after UTF-8", utf8 + "Sidorov\r\n", true, ""},
      {"Windows-1251 after UTF-8", utf8 + kEarlier + "\r\n", false, ""},
      {"ASCII alone", "Sidorov\r\n", false, ""},
      {"the mark alone", mark, true, ""},
      {"the mark, then ASCII", mark + "Sidorov", true, "\r\n"},
      {"the mark, then Windows-1251 far on", mark + filling + kEarlier + "\r\n",
       true, ""},
      {"UTF-8 before the last 64 KB", utf8 + filling, false, ""},
      {"UTF-8 begun before the last 64 KB", begun, true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Prepare(c.before);
    FillNames();
    const card::SubscriberRecord record = card_.Snapshot();
    ASSERT_TRUE(Ok(SaveRecord(card_, path_)));
    EXPECT_EQ(ReadBytes(path_),
              c.before + c.mend +
                  FormatLine(record, c.in_utf8 ? LineEncoding::kUtf8
                                               : LineEncoding::kCp1251)
                      .value());
  }
}

// Into a UTF-8 file any character goes; a file in UTF-16, which a save in
// either encoding would spoil, is refused untouched.
TEST_F(SubscriberFileTest, SavesAnyCharacterIntoUtf8AndNothingIntoUtf16) {
  card_.SetCellText(field::FirstName, "Ли😀");
  const CardState before = StateOf(card_);
  const std::string line =
      FormatLine(card_.Snapshot(), LineEncoding::kUtf8).value();
  for (const std::string& file :
       {kEarlier + "\r\n", std::string("\xFF\xFE") + "a",
        std::string("\xFE\xFF")}) {
    SCOPED_TRACE(file);
    Prepare(file);
    const Failure failure = FailureOf(SaveRecord(card_, path_));
    EXPECT_EQ(failure.code == FileError::kUtf16, file != kEarlier + "\r\n");
    EXPECT_TRUE(Contains(failure.message,
                         file == kEarlier + "\r\n" ? "«Имя»" : "Блокнот"));
    EXPECT_EQ(StateOf(card_), before);
    EXPECT_EQ(ReadBytes(path_), file);
  }
  card_.SetCellText(field::FirstName, "Иван");
  Prepare("\xFF\xFE");
  ASSERT_FALSE(SaveRecord(card_, path_).ok());
  EXPECT_EQ(ReadBytes(path_), "\xFF\xFE");

  card_.SetCellText(field::FirstName, "Ли😀");
  Prepare("Сидоров\r\n");
  ASSERT_TRUE(Ok(SaveRecord(card_, path_)));
  EXPECT_EQ(ReadBytes(path_), "Сидоров\r\n" + line);
}

// Every call of a save fails in turn, once and for good, over a missing
// file, a file ended by CR LF and one whose last line has no break.
TEST_F(SubscriberFileTest, AFailureAtAnyCallLeavesFileAndCardAsTheyWere) {
  for (const std::optional<std::string>& before :
       {std::optional<std::string>(), std::optional(kEarlier + "\r\n"),
        std::optional(kEarlier)}) {
    Prepare(before);
    FaultyFileSystem clean;
    ASSERT_TRUE(Ok(SaveRecord(card_, path_, clean)));
    const int calls = static_cast<int>(clean.Calls().size());

    FillNames();
    const CardState card_before = StateOf(card_);
    for (int number = 1; number <= calls; ++number) {
      for (const bool for_good : {false, true}) {
        SCOPED_TRACE(testing::Message()
                     << (before ? "file \"" + *before + "\"" : "no file")
                     << ", call " << number << " (" << clean.Calls()[number - 1]
                     << ") fails " << (for_good ? "for good" : "once"));
        Prepare(before);
        FaultyFileSystem files;
        files.Fail(number, for_good);
        const Failure failure = FailureOf(SaveRecord(card_, path_, files));
        EXPECT_EQ(failure.code, FaultyFileSystem::kError);
        EXPECT_EQ(StateOf(card_), card_before);
        EXPECT_EQ(files.OpenFiles(), 0);
        // Nothing is left of the line, unless a cut back failed too and
        // the failure says so.
        const std::string after = ReadBytes(path_);
        if (failure.part_line_may_remain) {
          EXPECT_TRUE(after.starts_with(before.value_or("")));
        } else {
          EXPECT_EQ(after, before.value_or(""));
        }
      }
    }
  }
}

TEST_F(SubscriberFileTest, CutsAFailedLineBackOffOrSaysWhatIsLeft) {
  FillNames();
  const std::string line = FormatLine(card_.Snapshot()).value();
  const std::string half = line.substr(0, line.size() / 2);
  const std::error_code faulty = FaultyFileSystem::kError;
  const std::error_code short_write = FileError::kShortWrite;
  enum class Left { kNothing, kHalf, kLine };
  struct Case {
    const char* what;
    bool new_file = false;  // else the file holds one line
    std::string failing;    // the first call of this operation fails
    bool for_good = false;
    bool half_write = false;
    bool next_call_fails_too = false;
    std::error_code code;
    bool part_line_may_remain = false;
    Left left = Left::kNothing;
  };
  const Case cases[] = {
      {.what = "the write fails", .failing = "Append", .code = faulty},
      {.what = "a short write is cut back",
       .failing = "Append",
       .half_write = true,
       .code = short_write},
      {.what = "a short write whose cut back fails",
       .failing = "Append",
       .half_write = true,
       .next_call_fails_too = true,
       .code = short_write,
       .part_line_may_remain = true,
       .left = Left::kHalf},
      // The save cannot tell that the failed write wrote nothing.
      {.what = "the write and everything after fail",
       .failing = "Append",
       .for_good = true,
       .code = faulty,
       .part_line_may_remain = true},
      {.what = "the flush fails", .failing = "Flush", .code = faulty},
      {.what = "the flush and everything after fail",
       .failing = "Flush",
       .for_good = true,
       .code = faulty,
       .part_line_may_remain = true,
       .left = Left::kLine},
      {.what = "the new file's folder is not flushed",
       .new_file = true,
       .failing = "FlushFolder",
       .code = faulty},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string earlier = c.new_file ? "" : kEarlier + "\r\n";
    const std::optional<std::string> file =
        c.new_file ? std::nullopt : std::optional(earlier);
    FillNames();
    Prepare(file);
    FaultyFileSystem clean;
    card::SubscriberCard copy = card_;
    ASSERT_TRUE(Ok(SaveRecord(copy, path_, clean)));
    const int number = clean.FirstCall(c.failing);
    ASSERT_GT(number, 0);

    Prepare(file);
    FaultyFileSystem files;
    files.Fail(number, c.for_good);
    if (c.half_write) files.WriteHalfOnFailure();
    if (c.next_call_fails_too) files.FailOnce(number + 1);
    const CardState before = StateOf(card_);
    const Failure failure = FailureOf(SaveRecord(card_, path_, files));
    EXPECT_EQ(failure.code, c.code);
    EXPECT_EQ(failure.part_line_may_remain, c.part_line_may_remain);
    EXPECT_EQ(StateOf(card_), before);
    const std::string left = c.left == Left::kHalf   ? half
                             : c.left == Left::kLine ? line
                                                     : "";
    EXPECT_EQ(ReadBytes(path_), earlier + left);

    // The next save starts a line of its own after whatever was left.
    ASSERT_TRUE(Ok(SaveRecord(card_, path_)));
    const std::string ended = c.left == Left::kHalf ? "\r\n" : "";
    EXPECT_EQ(ReadBytes(path_), earlier + left + ended + line);
  }
}

// A file that lets the save append but not read is saved into without the
// look at its last line.
TEST_F(SubscriberFileTest, AppendsToAFileItMayNotRead) {
  Prepare(kEarlier + "\r\n");
  FaultyFileSystem files;
  files.RefuseReading();
  EXPECT_TRUE(Ok(SaveRecord(card_, path_, files)));
  EXPECT_EQ(files.FirstCall("ReadAt"), 0);
  EXPECT_EQ(ReadBytes(path_), kEarlier + "\r\n" + kUntouchedLine);
}

// What the name Blank.txt can stand for instead of a regular file: the save
// and the reader refuse it at once, naming the file by its whole path, and
// leave it and the card as they were.
TEST_F(SubscriberFileTest, RefusesWhatIsNotARegularFile) {
  struct Case {
    const char* what;
    void (*make)(const std::filesystem::path&);
    std::error_code save_code;
    std::error_code read_code;
  };
#ifdef _WIN32
  // Windows refuses to open a folder as a file with "access denied".
  const std::error_code save_folder(ERROR_ACCESS_DENIED,
                                    std::system_category());
  const std::error_code read_folder = save_folder;
#else
  const std::error_code save_folder(EISDIR, std::system_category());
  const std::error_code read_folder = FileError::kNotRegularFile;
#endif
  const Case cases[] = {
      {"a folder",
       [](const std::filesystem::path& path) {
         std::filesystem::create_directory(path);
       },
       save_folder, read_folder},
#ifndef _WIN32
      // Neither a device that is always full nor named pipes nor links that
      // anyone may make are found on Windows.
      {"a link to a full disc",
       [](const std::filesystem::path& path) {
         std::filesystem::create_symlink("/dev/full", path);
       },
       FileError::kNotRegularFile, FileError::kNotRegularFile},
      {"a named pipe",
       [](const std::filesystem::path& path) {
         ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
       },
       FileError::kNotRegularFile, FileError::kNotRegularFile},
      {"a link to nothing",
       [](const std::filesystem::path& path) {
         std::filesystem::create_symlink(path.string() + ".missing", path);
       },
       FileError::kKeepsChanging,
       std::error_code(ENOENT, std::system_category())},
#endif
  };
  FillNames();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Prepare(std::nullopt);
    c.make(path_);
    const auto type = std::filesystem::symlink_status(path_).type();
    const CardState before = StateOf(card_);
    const Failure failure = FailureOf(SaveRecord(card_, path_));
    EXPECT_EQ(failure.code, c.save_code) << failure.code.message();
    EXPECT_FALSE(failure.part_line_may_remain);
    EXPECT_EQ(StateOf(card_), before);
    EXPECT_EQ(std::filesystem::symlink_status(path_).type(), type);
    const std::u8string name = path_.u8string();
    EXPECT_TRUE(
        Contains(failure.message, std::string(name.begin(), name.end())))
        << failure.message;

    Result<LineReader> reader = LineReader::Open(path_);
    ASSERT_FALSE(reader.ok());
    EXPECT_EQ(reader.failure().code, c.read_code);
  }
}

class SubscriberFileLockTest : public SubscriberFileTest {
 protected:
  // Another copy of the program holds the lock, through a handle of its own.
  void HoldLock() {
    Result<FileSystem::Opened> other = files_.OpenForAppend(path_);
    ASSERT_TRUE(other.ok());
    ASSERT_EQ(
        files_.TryLock(other.value().handle, LockKind::kExclusive).value(),
        true);
    holder_ = other.value().handle;
  }
  void ReleaseLock() {
    if (holder_) files_.Close(*holder_);
    holder_.reset();
  }
  ~SubscriberFileLockTest() override { ReleaseLock(); }

  FileSystem& files_ = PlatformFileSystem();
  std::optional<FileSystem::Handle> holder_;
};

// While the lock is held the save asks its wait between tries; when the lock
// comes free it saves, and a wait that gives up leaves file and card alone.
TEST_F(SubscriberFileLockTest, AsksItsWaitWhileAnotherCopyHoldsTheLock) {
  for (const bool give_up : {false, true}) {
    SCOPED_TRACE(give_up ? "given up" : "waited for");
    Prepare(kEarlier + "\r\n");
    HoldLock();
    FillNames();
    const CardState before = StateOf(card_);
    int waits = 0;
    const Result<void> saved = SaveRecord(card_, path_, files_, [&] {
      EXPECT_EQ(ReadBytes(path_), kEarlier + "\r\n");
      if (++waits < 3) return true;
      if (give_up) return false;
      ReleaseLock();
      return true;
    });
    EXPECT_EQ(waits, 3);
    if (give_up) {
      ASSERT_FALSE(saved.ok());
      EXPECT_EQ(saved.failure().code, FileError::kCancelled);
      EXPECT_EQ(StateOf(card_), before);
      EXPECT_EQ(ReadBytes(path_), kEarlier + "\r\n");
      ReleaseLock();
    } else {
      EXPECT_TRUE(Ok(saved));
      EXPECT_EQ(ReadBytes(path_),
                kEarlier + "\r\n" + FormatLine(before.cells).value());
    }
  }
}

// A file renamed away or deleted while the save waited for its lock keeps
// nothing of the save, which goes to the file now at the name.
TEST_F(SubscriberFileLockTest, SavesIntoTheFileNowAtTheNameAfterTheWait) {
  const std::filesystem::path moved = path_.parent_path() / "Blank-old.txt";
#ifdef _WIN32
  // Wine, where these tests run, neither takes a deleted file from its name
  // while it is open nor tells that it waits to go.
  const bool kinds[] = {false};
#else
  const bool kinds[] = {false, true};
#endif
  for (const bool deleted : kinds) {
    SCOPED_TRACE(deleted ? "deleted" : "renamed");
    Prepare(kEarlier + "\r\n");
    std::filesystem::remove(moved);
    HoldLock();
    ASSERT_TRUE(Ok(SaveRecord(card_, path_, files_, [&] {
      if (deleted) {
        std::filesystem::remove(path_);
      } else {
        std::filesystem::rename(path_, moved);
      }
      ReleaseLock();
      return true;
    })));
    EXPECT_EQ(ReadBytes(path_), kUntouchedLine);
    EXPECT_EQ(ReadBytes(moved), deleted ? "" : kEarlier + "\r\n");
  }
}

// Several copies of the program save at once into one file, each through
// handles of its own.
TEST_F(SubscriberFileTest, ConcurrentSavesLoseAndInterleaveNoLine) {
  constexpr int kCopies = 4;
  constexpr int kCardsEach = 200;
  const auto fill = [](card::SubscriberCard& card, int copy, int number) {
    card.SetCellText(field::Surname, "Копия" + std::to_string(copy));
    card.SetCellText(field::AccountNumber, std::to_string(number));
    card.SetCellText(field::Address, std::string(100 + number, 'a'));
  };
  std::map<std::string, int> expected;
  {  // Every copy has ended before the file is read.
    std::vector<std::jthread> copies;
    for (int copy = 0; copy < kCopies; ++copy) {
      copies.emplace_back([&, copy] {
        card::SubscriberCard card;
        card.Start();
        for (int number = 0; number < kCardsEach; ++number) {
          fill(card, copy, number);
          EXPECT_TRUE(Ok(SaveRecord(card, path_)));
        }
      });
    }
  }
  card::SubscriberCard card;
  card.Start();
  for (int copy = 0; copy < kCopies; ++copy) {
    for (int number = 0; number < kCardsEach; ++number) {
      fill(card, copy, number);
      std::string line = FormatLine(card.Snapshot()).value();
      line.resize(line.size() - 2);
      expected[line] = 1;
    }
  }
  std::map<std::string, int> found;
  Result<LineReader> reader = LineReader::Open(path_);
  ASSERT_TRUE(reader.ok());
  std::string_view line;
  while (reader.value().Next(line).value()) ++found[std::string(line)];
  EXPECT_EQ(found.size(), expected.size());
  EXPECT_TRUE(found == expected);
}

}  // namespace
}  // namespace records
