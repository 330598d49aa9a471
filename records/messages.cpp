#include "records/messages.h"

#include <array>
#include <cstdio>
#include <string>

#include "card/subscriber_record.h"
#include "records/file_system.h"

namespace records {
namespace {

const char* ReasonText(SystemReason reason) {
  switch (reason) {
    case SystemReason::kNotFound:
      return "файл или папка не найдены";
    case SystemReason::kAccessDenied:
      return "нет доступа";
    case SystemReason::kReadOnly:
      return "диск открыт только для чтения";
    case SystemReason::kDiscFull:
      return "нет места на диске";
    case SystemReason::kQuota:
      return "превышена дисковая квота";
    case SystemReason::kIsFolder:
      return "это папка, а не файл";
    case SystemReason::kLinkLoop:
      return "ссылки на файл замкнуты в круг";
    case SystemReason::kNameTooLong:
      return "слишком длинное имя файла";
    case SystemReason::kBusy:
      return "файл занят другой программой";
    case SystemReason::kIoError:
      return "ошибка ввода-вывода";
    case SystemReason::kTooManyFiles:
      return "открыто слишком много файлов";
    case SystemReason::kTooLarge:
      return "файл слишком велик";
    case SystemReason::kOther:
      break;
  }
  return "системная ошибка";
}

const char* FileErrorText(FileError error) {
  switch (error) {
    case FileError::kNotRegularFile:
      return "это не обычный файл";
    case FileError::kKeepsChanging:
      return "файл исчезает или подменяется при каждой попытке открыть его "
             "(возможно, это ссылка на несуществующий файл)";
    case FileError::kShortWrite:
      return "строка записалась не целиком; возможно, на диске нет места";
    case FileError::kShrank:
      return "файл укоротился во время записи";
    case FileError::kCancelled:
      return "ожидание отменено";
    case FileError::kUtf16:
      return "файл в кодировке UTF-16";
  }
  return "неизвестная ошибка";
}

const char* StepText(Step step) {
  switch (step) {
    case Step::kOpen:
      return "Не удалось открыть файл";
    case Step::kOpenForAppend:
      return "Не удалось открыть для записи файл";
    case Step::kRead:
      return "Не удалось прочитать файл";
    case Step::kSize:
      return "Не удалось узнать размер файла";
    case Step::kCheck:
      return "Не удалось проверить файл";
    case Step::kWrite:
      return "Не удалось записать строку в файл";
    case Step::kFlush:
      return "Не удалось сохранить на диске файл";
    case Step::kFlushFolder:
      return "Не удалось сохранить на диске папку нового файла";
    case Step::kLockExclusive:
      return "Не удалось получить исключительный доступ к файлу";
    case Step::kLockShared:
      break;
  }
  return "Не удалось получить доступ к файлу для чтения";
}

class FileErrorCategoryImpl final : public std::error_category {
 public:
  const char* name() const noexcept override { return "subscriber file"; }
  std::string message(int error) const override {
    return FileErrorText(static_cast<FileError>(error));
  }
};

// Puts the file's name in the guillemets of a message.
std::string Quoted(const std::filesystem::path& path) {
  return "«" + PathText(path) + "»";
}

// Starts a sentence with the field's caption in guillemets.
// Names where the refused character stands: the card's field, or a text.
std::string FieldText(const RefusedCharacter& refused) {
  if (refused.field < 0) return "В тексте";
  return "В поле «" + std::string(card::kFields[refused.field].caption) + "»";
}

// Refuses a text for one of its characters, saying what is wrong with it.
Failure Refusal(const RefusedCharacter& refused, std::string_view what) {
  Failure failure{FieldText(refused) + " есть " + std::string(what)};
  failure.refused = refused;
  return failure;
}

std::string CodeText(char32_t character) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "U+%04X",
                static_cast<unsigned>(character));
  return text.data();
}

}  // namespace

const std::error_category& FileErrorCategory() {
  static const FileErrorCategoryImpl kCategory;
  return kCategory;
}

Failure SystemFailure(int code, SystemReason reason) {
  return Failure{std::string(ReasonText(reason)) + " (код ошибки " +
                     std::to_string(code) + ")",
                 std::error_code(code, std::system_category())};
}

Failure FileFailure(FileError error) {
  return Failure{FileErrorText(error), error};
}

Failure OnFile(Step step, const std::filesystem::path& path, Failure reason) {
  reason.message = std::string(StepText(step)) + " " + Quoted(path) + ": " +
                   reason.message + ".";
  return reason;
}

Failure WaitCancelled(const std::filesystem::path& path) {
  return Failure{"Ожидание отменено: файл " + Quoted(path) +
                     " занят другой копией программы.",
                 FileError::kCancelled};
}

Failure Utf16Failure(const std::filesystem::path& path) {
  return Failure{
      "Файл " + Quoted(path) +
          " сохранён в кодировке UTF-16, а программа читает и пишет только "
          "Windows-1251 (ANSI) и UTF-8. Откройте файл в Блокноте, выберите "
          "«Файл» → «Сохранить как», в списке «Кодировка» укажите «ANSI» или "
          "«UTF-8» и сохраните файл под тем же именем.",
      FileError::kUtf16};
}

Failure CutBackFailed(Failure failure, const Failure& cut) {
  failure.message += " Вернуть файл к прежней длине не удалось (" +
                     cut.message +
                     "): в его конце может остаться эта строка или её часть; "
                     "следующая запись начнётся с новой строки.";
  failure.part_line_may_remain = true;
  return failure;
}

Failure CarriageReturnIn(const RefusedCharacter& refused) {
  return Refusal(refused,
                 "знак возврата каретки (U+000D), который разорвал бы строку "
                 "файла.");
}

Failure BrokenUtf8In(const RefusedCharacter& refused) {
  return Refusal(refused,
                 "испорченный текст, который нельзя записать в кодировке "
                 "файла (UTF-8).");
}

Failure NotInCodePage(std::string_view text, const RefusedCharacter& refused) {
  // Control characters and broken text are named by their code alone.
  std::string character = CodeText(refused.character);
  if (refused.character >= 0xA0 && refused.character != 0xFFFD) {
    std::size_t end = refused.offset + 1;
    while (end < text.size() &&
           (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
      ++end;
    }
    character = "«" +
                std::string(text.substr(refused.offset, end - refused.offset)) +
                "» (" + character + ")";
  }
  return Refusal(refused, "знак " + character +
                              ", которого нет в кодировке файла "
                              "(Windows-1251).");
}

}  // namespace records
