#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <string_view>

// This header holds every sentence that the windows write for the clerk.
namespace ui {

// Callers name a sentence by its use. The captions of the controls are not
// here: each window's table holds them, and the card's field table those of
// its cells.
enum class Message {
  kProgramName,
  kGuideTitle,
  kOk,
  kCancel,
  kNotANumber,
  kComputed,
  kCellFull,
  kSaving,
  kNotSaved,
  kFileBusy,
  kSearching,
  kSearchProgress,
  kNotSearched,
  kNoMemoryForResults,
  kAskSurname,
  kAskFirstName,
  kAskTelephone,
  kClearingTitle,
  kClearingQuestion,
  kNotViewed,
  kTooLongToView,
  kCount
};

struct MessageText {
  Message message;
  // The text is UTF-8; %1, %2 and %3 stand for what the caller fills in.
  std::string_view text;
};

inline constexpr std::array<MessageText,
                            static_cast<std::size_t>(Message::kCount)>
    kMessages{{
        {Message::kProgramName, "Карточка абонента"},
        // %1 stands for the program's name.
        {Message::kGuideTitle, "Справка — %1"},
        // The standard button's caption, which Qt's Russian texts leave in
        // Latin letters.
        {Message::kOk, "ОК"},
        {Message::kCancel, "Отмена"},
        {Message::kNotANumber, "Не число"},
        {Message::kComputed, "Вычисляется программой"},
        // %1 stands for how many characters a cell holds.
        {Message::kCellFull, "В ячейку помещается не больше %1 знаков"},
        {Message::kSaving, "Запись карточки"},
        {Message::kNotSaved, "Карточка не записана"},
        // %1 stands for the file's name.
        {Message::kFileBusy,
         "Файл «%1» занят другой копией программы. Ожидание…"},
        {Message::kSearching, "Поиск"},
        // %1 stands for the file's name.
        {Message::kSearchProgress, "Идёт поиск в файле «%1»…"},
        {Message::kNotSearched, "Поиск не выполнен"},
        {Message::kNoMemoryForResults,
         "Не хватило памяти, чтобы показать найденные карточки."},
        {Message::kAskSurname, "Ввод фамилии"},
        {Message::kAskFirstName, "Ввод имени"},
        {Message::kAskTelephone, "Ввод телефона"},
        // Meant, not a misspelling: the system's own title.
        {Message::kClearingTitle, "Делете"},
        {Message::kClearingQuestion, "Удалить нынешний список"},
        {Message::kNotViewed, "Карточка не показана"},
        // %1 stands for the field's caption, %2 for its length, %3 for what a
        // cell holds. The counts go without a noun, which would have to agree
        // with them.
        {Message::kTooLongToView,
         "В поле «%1» этой карточки слишком много знаков (%2): ячейка "
         "карточки вмещает не больше %3. Карточка не загружена; в окне "
         "карточки всё осталось как было."},
    }};

// Each message stands at its own index, so that Text finds it there.
constexpr bool InOrder() {
  for (std::size_t i = 0; i < kMessages.size(); ++i) {
    if (kMessages[i].message != static_cast<Message>(i)) return false;
  }
  return true;
}
static_assert(InOrder(), "kMessages must follow the order of Message");

// The text of `message`, its %1, %2 and %3 left for arg().
inline QString Text(Message message) {
  return QString::fromUtf8(kMessages[static_cast<std::size_t>(message)].text);
}

}  // namespace ui
