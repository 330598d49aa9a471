#pragma once

#include <filesystem>
#include <regex>
#include <string>

#include "records/file_system.h"

namespace test_support {

// Tells whether a message holds a Latin letter beyond the file's path, the
// names of encodings that Notepad shows the clerk and character codes
// ("U+00E9"), by which English could reach the clerk.
inline bool HasLatinWord(const std::string& message,
                         const std::filesystem::path& path) {
  static const std::regex kAllowed(
      R"(UTF-8|UTF-16|Windows-1251|ANSI|U\+[0-9A-F]{4,6})");
  std::string rest = message;
  const std::string name = records::PathText(path);
  for (std::size_t at; (at = rest.find(name)) != std::string::npos;) {
    rest.erase(at, name.size());
  }
  return std::regex_search(std::regex_replace(rest, kAllowed, ""),
                           std::regex("[A-Za-z]"));
}

}  // namespace test_support
