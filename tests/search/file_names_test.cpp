// The subscriber file in a folder whose name the code page of the system
// may not hold, as on a clerk's Windows with Cyrillic folder names: the path
// reaches the system in full, messages name it in UTF-8, and the bytes go to
// the file and back exactly, CR LF included, with no text-mode translation on
// the way.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "card/subscriber_card.h"
#include "card/subscriber_record.h"
#include "records/subscriber_file.h"
#include "search/search.h"
#include "search/search_results.h"
#include "tests/support/temp_folder.h"

namespace search {
namespace {

using records::FormatLine;
using records::kSubscriberFileName;
using records::SaveRecord;

using test_support::ReadBytes;
using test_support::TempFolder;

class FileNamesTest : public ::testing::Test {
 protected:
  FileNamesTest() { std::filesystem::create_directory(folder_path_); }

  TempFolder folder_;
  const std::filesystem::path folder_path_ =
      folder_.path() / u8"Абоненты «Корвант» €";
  const std::filesystem::path path_ = folder_path_ / kSubscriberFileName;
};

TEST_F(FileNamesTest, SavesAndFindsACardUnderAWideFolderName) {
  SearchResults results;
  const auto search = [&] {
    return SearchRecords(
        SearchMode::kBySurname, [] { return std::string("Иванов"); }, results,
        {}, path_);
  };
  const SearchOutcome missing = search();
  ASSERT_FALSE(missing.ok());
  const std::u8string name = path_.u8string();
  EXPECT_NE(
      missing.failure().message.find(std::string(name.begin(), name.end())),
      std::string::npos);

  card::SubscriberCard card;
  card.Start();
  card.SetCellText(card::field::Surname, "Иванов");
  const std::string first = FormatLine(card.Snapshot()).value();
  ASSERT_TRUE(SaveRecord(card, path_).ok());
  const std::string second = FormatLine(card.Snapshot()).value();
  ASSERT_TRUE(SaveRecord(card, path_).ok());
  EXPECT_EQ(ReadBytes(path_), first + second);

  const SearchOutcome outcome = search();
  ASSERT_TRUE(outcome.ok());
  EXPECT_EQ(outcome.value(), SearchEnd::kEndOfFile);
  ASSERT_EQ(results.RowCount(), 1);
  EXPECT_EQ(results.Text(card::field::Surname, 0), "Иванов");
}

}  // namespace
}  // namespace search
