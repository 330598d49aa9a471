#pragma once

#include <QString>
#include <filesystem>

#include "records/file_system.h"

namespace ui {

// Returns the name of a file without its folder, as messages show it.
inline QString FileName(const std::filesystem::path& file) {
  // The name goes through UTF-8, which every platform's paths convert
  // exactly.
  return QString::fromStdString(records::PathText(file.filename()));
}

}  // namespace ui
