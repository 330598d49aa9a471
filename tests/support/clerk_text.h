#pragma once

#include <filesystem>
#include <regex>
#include <string>

#include "records/file_system.h"

namespace test_support {

// The Latin words of a message other than the file's path, the names of the
// encodings that Notepad shows the clerk and the codes of characters
// ("U+00E9"): empty where no English can reach the clerk.
inline std::string LatinWords(std::string message,
                              const std::filesystem::path& path) {
  const std::string name = records::PathText(path);
  for (std::size_t at; (at = message.find(name)) != std::string::npos;) {
    message.erase(at, name.size());
  }
  static const std::regex kAllowed(
      R"(UTF-8|UTF-16|Windows-1251|ANSI|U\+[0-9A-F]{4,6})");
  static const std::regex kLatin("[A-Za-z]+");
  message = std::regex_replace(message, kAllowed, "");
  std::string words;
  for (std::sregex_iterator word(message.begin(), message.end(), kLatin), end;
       word != end; ++word) {
    words += word->str() + " ";
  }
  return words;
}

}  // namespace test_support
