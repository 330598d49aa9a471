#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include "card/subscriber_record.h"
#include "records/failure.h"

namespace testdata {

// Surnames of the generated cards, each drawn with the same chance, so that a
// search for one of them matches about 1 % of a large file.
inline constexpr std::array<std::string_view, 100> kSurnames{
    "Иванов",     "Петров",      "Сидоров",   "Смирнов",  "Кузнецов",
    "Попов",      "Васильев",    "Соколов",   "Михайлов", "Новиков",
    "Фёдоров",    "Морозов",     "Волков",    "Алексеев", "Лебедев",
    "Семёнов",    "Егоров",      "Павлов",    "Козлов",   "Степанов",
    "Николаев",   "Орлов",       "Андреев",   "Макаров",  "Никитин",
    "Захаров",    "Зайцев",      "Соловьёв",  "Борисов",  "Яковлев",
    "Григорьев",  "Романов",     "Воробьёв",  "Сергеев",  "Кузьмин",
    "Фролов",     "Александров", "Дмитриев",  "Королёв",  "Гусев",
    "Киселёв",    "Ильин",       "Максимов",  "Поляков",  "Сорокин",
    "Виноградов", "Ковалёв",     "Белов",     "Медведев", "Антонов",
    "Тарасов",    "Жуков",       "Баранов",   "Филиппов", "Комаров",
    "Давыдов",    "Беляев",      "Герасимов", "Богданов", "Осипов",
    "Сидоренко",  "Матвеев",     "Титов",     "Марков",   "Миронов",
    "Крылов",     "Куликов",     "Карпов",    "Власов",   "Мельников",
    "Денисов",    "Гаврилов",    "Тихонов",   "Казаков",  "Афанасьев",
    "Данилов",    "Савельев",    "Тимофеев",  "Фомин",    "Чернов",
    "Абрамов",    "Мартынов",    "Ефимов",    "Федотов",  "Щербаков",
    "Назаров",    "Калинин",     "Исаев",     "Чернышёв", "Быков",
    "Маслов",     "Родионов",    "Коновалов", "Лазарев",  "Воронин",
    "Климов",     "Филатов",     "Пономарёв", "Голубев",  "Кудрявцев",
};

// What to generate.
struct BlankFileOptions {
  int count = 1'000'000;
  std::uint32_t seed = 7;
  // Every card gets kSurnames[0], so that a search for it matches each line.
  bool one_surname = false;
};

// Makes realistic saved cards, the same ones for the same options: Cyrillic
// names, repeated surnames, about one address in five with a space in it
// (a street and a house), about one card in twenty without a telephone
// number, a few numbers written with a hyphen, and billing cells as the card
// computes them under one of the four benefit levels.
class BlankFileGenerator {
 public:
  explicit BlankFileGenerator(const BlankFileOptions& options);

  // The next card, in the program's own UTF-8 texts.
  card::SubscriberRecord Next();

 private:
  BlankFileOptions options_;
  std::mt19937 random_;
  // Cells 6 to 14 of cards computed once, copied into the generated ones.
  std::vector<card::SubscriberRecord> billing_;
};

// Writes `options.count` generated cards to `path`, replacing it, each as the
// program saves it; the size of the file in bytes, or why it failed.
records::Result<std::uintmax_t> WriteBlankFile(
    const std::filesystem::path& path, const BlankFileOptions& options);

}  // namespace testdata
