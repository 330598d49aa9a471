#include "testdata/blank_file_generator.h"

#include <fstream>
#include <string>
#include <utility>

#include "card/benefit.h"
#include "card/subscriber_card.h"
#include "records/subscriber_file.h"

namespace testdata {
namespace {

constexpr std::array<std::string_view, 24> kFirstNames{
    "Иван",  "Пётр",  "Сергей", "Анна",   "Мария", "Олег",  "Юрий",   "Нина",
    "Ольга", "Павел", "Игорь",  "Елена",  "Вера",  "Борис", "Денис",  "Инна",
    "Лидия", "Роман", "Глеб",   "Максим", "Фёдор", "Зоя",   "Тамара", "Егор",
};

constexpr std::array<std::string_view, 16> kPatronymics{
    "Иванович",  "Петрович", "Сергеевич", "Олегович",  "Юрьевич",   "Павлович",
    "Борисович", "Ильич",    "Ивановна",  "Петровна",  "Сергеевна", "Олеговна",
    "Юрьевна",   "Павловна", "Борисовна", "Романовна",
};

constexpr std::array<std::string_view, 16> kStreets{
    "Ленина",    "Мира",   "Садовая", "Лесная",    "Школьная", "Полевая",
    "Гагарина",  "Речная", "Зелёная", "Новая",     "Кирова",   "Победы",
    "Шоссейная", "Южная",  "Луговая", "Советская",
};

// Typed amounts of the billing table: subscription charged and paid, metered
// charged and paid; the card computes the rest.
constexpr std::array<std::array<std::string_view, 4>, 8> kAmounts{{
    {"1,3", "0", "0", "0"},
    {"1,3", "1,3", "0", "0"},
    {"1,3", "0", "0", "0"},
    {"1,3", "1,3", "12", "12"},
    {"1,3", "0", "40", "20"},
    {"1,3", "1,3", "4", "0"},
    {"2,6", "1,3", "8", "8"},
    {"1,3", "0", "6,5", "0"},
}};

std::string Number(std::mt19937& random, int digits) {
  std::string text;
  text += static_cast<char>('1' + random() % 9);
  for (int i = 1; i < digits; ++i) {
    text += static_cast<char>('0' + random() % 10);
  }
  return text;
}

}  // namespace

BlankFileGenerator::BlankFileGenerator(const BlankFileOptions& options)
    : options_(options), random_(options.seed) {
  for (const card::BenefitInfo& benefit : card::kBenefits) {
    for (const auto& amounts : kAmounts) {
      card::SubscriberCard card;
      card.Start();
      card.ChooseBenefit(benefit.option);
      card.SetCellText(card::field::SubscriptionCharged, amounts[0]);
      card.SetCellText(card::field::SubscriptionPaid, amounts[1]);
      card.SetCellText(card::field::MeteredCharged, amounts[2]);
      card.SetCellText(card::field::MeteredPaid, amounts[3]);
      billing_.push_back(card.Snapshot());
    }
  }
}

card::SubscriberRecord BlankFileGenerator::Next() {
  card::SubscriberRecord record = billing_[random_() % billing_.size()];
  record[card::field::Surname] = options_.one_surname
                                     ? kSurnames[0]
                                     : kSurnames[random_() % kSurnames.size()];
  record[card::field::FirstName] = kFirstNames[random_() % kFirstNames.size()];
  record[card::field::Patronymic] =
      kPatronymics[random_() % kPatronymics.size()];

  // A clerk types the house after a comma or, now and then, after a space.
  std::string address(kStreets[random_() % kStreets.size()]);
  address += random_() % 5 == 0 ? ' ' : ',';
  address += std::to_string(1 + random_() % 120);
  record[card::field::Address] = std::move(address);

  const unsigned telephone_kind = random_() % 100;
  if (telephone_kind < 5) {
    record[card::field::SubscriberNumber].clear();
  } else if (telephone_kind < 6) {
    record[card::field::SubscriberNumber] =
        Number(random_, 2) + "-" + Number(random_, 2);
  } else {
    record[card::field::SubscriberNumber] = Number(random_, 5);
  }
  record[card::field::AccountNumber] = Number(random_, 4);
  return record;
}

records::Result<std::uintmax_t> WriteBlankFile(
    const std::filesystem::path& path, const BlankFileOptions& options) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) {
    return records::Failure{"Не удалось создать файл " + path.string()};
  }
  BlankFileGenerator generator(options);
  std::uintmax_t size = 0;
  for (int i = 0; i < options.count; ++i) {
    records::Result<std::string> line = records::FormatLine(generator.Next());
    if (!line) {
      return line.failure();
    }
    file.write(line.value().data(),
               static_cast<std::streamsize>(line.value().size()));
    size += line.value().size();
  }
  file.close();
  if (!file) {
    return records::Failure{"Не удалось записать файл " + path.string()};
  }
  return size;
}

}  // namespace testdata
