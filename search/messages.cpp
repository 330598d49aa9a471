#include "search/messages.h"

#include <string>

#include "records/file_system.h"

namespace search {

records::Failure TelephoneNotNumber(std::string_view typed) {
  return {"Номер телефона должен быть числом, а введено «" +
          std::string(typed) + "»."};
}

records::Failure OutOfMemory(const std::filesystem::path& path) {
  return {"Не хватило памяти, чтобы дочитать файл «" + records::PathText(path) +
          "»: в нём слишком длинная строка или слишком много подходящих "
          "карточек. Найденные до этого карточки показаны."};
}

}  // namespace search
