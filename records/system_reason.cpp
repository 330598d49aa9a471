#include "records/system_reason.h"

#include <string>

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

class FileErrorCategoryImpl final : public std::error_category {
 public:
  const char* name() const noexcept override { return "subscriber file"; }
  std::string message(int error) const override {
    return FileErrorText(static_cast<FileError>(error));
  }
};

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

Failure OnFile(std::string_view what, const std::filesystem::path& path,
               Failure reason) {
  reason.message =
      std::string(what) + " «" + PathText(path) + "»: " + reason.message + ".";
  return reason;
}

Failure FileFailure(FileError error) {
  return Failure{FileErrorText(error), error};
}

}  // namespace records
