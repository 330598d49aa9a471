#include "records/subscriber_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "card/benefit.h"
#include "card/subscriber_card.h"
#include "records/line_reader.h"
#include "tests/records/child_process.h"
#include "tests/records/file_test_support.h"

namespace records {
namespace {

namespace field = card::field;
using test_support::ChildProcess;
using test_support::Cp1251;
using test_support::FaultyFileSystem;
using test_support::ReadBytes;
using test_support::TempFolder;
using test_support::ThisChildTask;
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

const std::string kNotSaved = "Карточка не записана. ";
const std::string kUntouchedLine = "      1,3 0 1,3 0 0 0 1,3 0 1,3 \r\n";
const std::string kEarlier = Cp1251("Сидоров Сидор");
const std::string kLeftoverWarning = "может остаться";

class SubscriberFileTest : public ::testing::Test {
 protected:
  SubscriberFileTest() { card_.Start(); }

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
  const std::filesystem::path path_ = folder_.path() / kSubscriberFileName;
  card::SubscriberCard card_;
};

TEST_F(SubscriberFileTest, WritesEachFieldThenASpaceThenCrLf) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, std::string>> typed;
    std::string line;  // UTF-8
  };
  const Case cases[] = {
      {"an untouched card", {}, kUntouchedLine},
      {"names, address, numbers and amounts",
       {{field::Surname, "Иванов"},
        {field::FirstName, "Иван"},
        {field::Patronymic, "Иванович"},
        {field::Address, "Ленина"},
        {field::SubscriberNumber, "22"},
        {field::AccountNumber, "77"},
        {field::MeteredCharged, "2,5"},
        {field::MeteredPaid, "1"}},
       "Иванов Иван Иванович Ленина 22 77 1,3 0 1,3 2,5 1 1,5 3,8 1 2,8 \r\n"},
      {"texts kept as typed, spaces and all",
       {{field::Surname, "Семёнов-Ёлкин"},
        {field::Address, "Мира 5, №3"},
        {field::MeteredCharged, " 5"}},
       "Семёнов-Ёлкин   Мира 5, №3   1,3 0 1,3  5 0 5 6,3 0 6,3 \r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Prepare(std::nullopt);
    card_.ResetForNextEntry();
    for (const auto& [index, text] : c.typed) card_.SetCellText(index, text);
    EXPECT_EQ(SaveRecord(card_, path_), std::nullopt);
    EXPECT_EQ(ReadBytes(path_), Cp1251(c.line));
  }
}

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
    EXPECT_EQ(SaveRecord(card_, path_), std::nullopt);
    EXPECT_EQ(SaveRecord(card_, path_), std::nullopt);
    EXPECT_EQ(ReadBytes(path_), c.after_two_saves);
  }
}

TEST_F(SubscriberFileTest, ResetsTheCardUnderTheBenefitInForce) {
  card_.ChooseBenefit(card::BenefitOption::kFifty);
  card_.SetCellText(field::SubscriptionCharged, "7");
  FillNames();
  ASSERT_EQ(SaveRecord(card_, path_), std::nullopt);

  card::SubscriberRecord expected{"",  "",    "",     "",     "",
                                  "",  "1,3", "0",    "0,65", "0",
                                  "0", "0",   "0,65", "0",    "0,325"};
  EXPECT_EQ(card_.Snapshot(), expected);
  EXPECT_EQ(card_.ChosenBenefit(), card::BenefitOption::kFifty);
  EXPECT_EQ(card_.BenefitDivisor(), 2);
}

TEST_F(SubscriberFileTest, SavesIntoTheWorkingFolderByDefault) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder_.path());
  const std::optional<Failure> failure = SaveRecord(card_);
  std::filesystem::current_path(previous);
  EXPECT_EQ(failure, std::nullopt);
  EXPECT_EQ(ReadBytes(path_), kUntouchedLine);
}

TEST_F(SubscriberFileTest, NamesTheCellAndTheCharacterItCannotSave) {
  struct Case {
    int index;
    std::string text;
    std::vector<std::string> told;  // parts of the message
  };
  const Case cases[] = {
      {field::FirstName, "Ив😀н", {"«Имя»", "«😀» (U+1F600)"}},
      {field::Address, "Straße", {"«Адрес абонента»", "«ß» (U+00DF)"}},
      {field::MeteredCharged,
       "1\u0085",
       {"«Повременная плата, начислено»", "U+0085"}},
      {field::Surname, "\xFF", {"«Фамилия»", "U+FFFD"}},
      {field::Address, "Мира\r5", {"«Адрес абонента»", "U+000D"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    card_.ResetForNextEntry();
    card_.SetCellText(c.index, c.text);
    const CardState before = StateOf(card_);
    const std::optional<Failure> failure = SaveRecord(card_, path_);
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->message.starts_with(kNotSaved)) << failure->message;
    for (const std::string& part : c.told) {
      EXPECT_TRUE(Contains(failure->message, part)) << failure->message;
    }
    EXPECT_EQ(StateOf(card_), before);
    EXPECT_FALSE(std::filesystem::exists(path_));
  }
}

// Every call of a save fails in turn, once and for good, over a missing
// file, a file ended by CR LF and one whose last line has no break.
TEST_F(SubscriberFileTest, AFailureAtAnyCallLeavesFileAndCardAsTheyWere) {
  for (const std::optional<std::string>& before :
       {std::optional<std::string>(), std::optional(kEarlier + "\r\n"),
        std::optional(kEarlier)}) {
    Prepare(before);
    FaultyFileSystem clean;
    ASSERT_EQ(SaveRecord(card_, path_, clean), std::nullopt);
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
        const std::optional<Failure> failure = SaveRecord(card_, path_, files);
        ASSERT_TRUE(failure.has_value());
        EXPECT_TRUE(failure->message.starts_with(kNotSaved))
            << failure->message;
        EXPECT_TRUE(Contains(failure->message, FaultyFileSystem::kReason))
            << failure->message;
        EXPECT_EQ(StateOf(card_), card_before);
        EXPECT_EQ(files.OpenFiles(), 0);
        // Nothing is left of the line, unless a cut back failed too and
        // the message says so.
        const std::string after = ReadBytes(path_);
        if (Contains(failure->message, kLeftoverWarning)) {
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
  enum class Left { kNothing, kHalf, kLine };
  struct Case {
    const char* what;
    bool new_file;        // else the file holds one line
    std::string failing;  // the first call of this operation fails
    bool for_good;
    bool half_write;
    bool next_call_fails_too;
    std::string told;
    bool warns;  // of a line or a part that may be left
    Left left;
  };
  const Case cases[] = {
      {"the write fails", false, "Append", false, false, false,
       "Не удалось записать строку", false, Left::kNothing},
      {"a short write is cut back", false, "Append", false, true, false,
       "не целиком", false, Left::kNothing},
      {"a short write whose cut back fails", false, "Append", false, true, true,
       "не целиком", true, Left::kHalf},
      // The save cannot tell that the failed write wrote nothing.
      {"the write and everything after fail", false, "Append", true, false,
       false, "Не удалось записать строку", true, Left::kNothing},
      {"the flush fails", false, "Flush", false, false, false,
       "Не удалось сохранить на диске файл", false, Left::kNothing},
      {"the flush and everything after fail", false, "Flush", true, false,
       false, "Не удалось сохранить на диске файл", true, Left::kLine},
      {"the new file's folder is not flushed", true, "FlushFolder", false,
       false, false, "папку нового файла", false, Left::kNothing},
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
    ASSERT_EQ(SaveRecord(copy, path_, clean), std::nullopt);
    const int number = clean.FirstCall(c.failing);
    ASSERT_GT(number, 0);

    Prepare(file);
    FaultyFileSystem files;
    files.Fail(number, c.for_good);
    if (c.half_write) files.WriteHalfOnFailure();
    if (c.next_call_fails_too) files.FailOnce(number + 1);
    const CardState before = StateOf(card_);
    const std::optional<Failure> failure = SaveRecord(card_, path_, files);
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(Contains(failure->message, c.told)) << failure->message;
    EXPECT_EQ(Contains(failure->message, kLeftoverWarning), c.warns)
        << failure->message;
    EXPECT_EQ(StateOf(card_), before);
    const std::string left = c.left == Left::kHalf   ? half
                             : c.left == Left::kLine ? line
                                                     : "";
    EXPECT_EQ(ReadBytes(path_), earlier + left);

    // The next save starts a line of its own after whatever was left.
    ASSERT_EQ(SaveRecord(card_, path_), std::nullopt);
    const std::string ended = c.left == Left::kHalf ? "\r\n" : "";
    EXPECT_EQ(ReadBytes(path_), earlier + left + ended + line);
  }
}

TEST_F(SubscriberFileTest, RealFailuresLeaveFileAndCardAsTheyWere) {
  struct Case {
    const char* what;
    void (*make)(const std::filesystem::path&);
    std::string reason;
  };
  const Case cases[] = {
      {"Blank.txt is a folder",
       [](const std::filesystem::path& path) {
         std::filesystem::create_directory(path);
       },
       "это папка"},
#ifndef _WIN32
      // Windows has no device that is always full.
      {"Blank.txt leads to a full disc",
       [](const std::filesystem::path& path) {
         std::filesystem::create_symlink("/dev/full", path);
       },
       "нет места на диске"},
#endif
  };
  FillNames();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Prepare(std::nullopt);
    c.make(path_);
    const auto type = std::filesystem::symlink_status(path_).type();
    const CardState before = StateOf(card_);
    const std::optional<Failure> failure = SaveRecord(card_, path_);
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->message.starts_with(kNotSaved)) << failure->message;
    EXPECT_TRUE(Contains(failure->message, c.reason)) << failure->message;
    EXPECT_FALSE(Contains(failure->message, kLeftoverWarning))
        << failure->message;
    EXPECT_EQ(StateOf(card_), before);
    EXPECT_EQ(std::filesystem::symlink_status(path_).type(), type);
    if (type == std::filesystem::file_type::directory) {
      EXPECT_TRUE(std::filesystem::is_empty(path_));
    } else {
      EXPECT_EQ(std::filesystem::read_symlink(path_), "/dev/full");
    }
  }
}

// A save waits while another copy of the program holds the file's lock.
TEST_F(SubscriberFileTest, WaitsForTheLockOfAnotherSave) {
  if (const std::optional<test_support::ChildTask> task = ThisChildTask()) {
    EXPECT_EQ(SaveRecord(card_, task->file), std::nullopt);
    return;
  }
  FileSystem& files = PlatformFileSystem();
  Result<FileSystem::Opened> other = files.OpenForAppend(path_);
  ASSERT_TRUE(other.ok());
  ASSERT_EQ(files.Lock(other.value().handle), std::nullopt);

  ChildProcess child(path_, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_TRUE(child.Running()) << "the save did not wait";
  EXPECT_EQ(ReadBytes(path_), "");

  files.Close(other.value().handle);
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(ReadBytes(path_), kUntouchedLine);
}

// Several copies of the program save at once into one file.
TEST_F(SubscriberFileTest, ConcurrentSavesLoseAndInterleaveNoLine) {
  constexpr int kProcesses = 4;
  constexpr int kCardsEach = 200;
  const auto fill = [](card::SubscriberCard& card, int process, int number) {
    card.SetCellText(field::Surname, "Процесс" + std::to_string(process));
    card.SetCellText(field::AccountNumber, std::to_string(number));
    card.SetCellText(field::Address, std::string(100 + number, 'a'));
  };

  if (const std::optional<test_support::ChildTask> task = ThisChildTask()) {
    card::SubscriberCard card;
    card.Start();
    for (int number = 0; number < kCardsEach; ++number) {
      fill(card, task->number, number);
      ASSERT_EQ(SaveRecord(card, task->file), std::nullopt);
    }
    return;
  }
  {  // Every copy has ended before the file is read.
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int process = 0; process < kProcesses; ++process) {
      children.push_back(std::make_unique<ChildProcess>(path_, process));
    }
    for (const auto& child : children) EXPECT_EQ(child->Wait(), 0);
  }

  std::map<std::string, int> expected;
  card::SubscriberCard card;
  card.Start();
  for (int process = 0; process < kProcesses; ++process) {
    for (int number = 0; number < kCardsEach; ++number) {
      fill(card, process, number);
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
