#include "fuzz/scratch_file.h"

#include <fstream>
#include <random>
#include <string>

#include "fuzz/property.h"

namespace fuzz {

ScratchFile::ScratchFile() {
  std::random_device device;
  std::mt19937_64 random(device());
  path_ = std::filesystem::temp_directory_path() /
          ("subscriber-card-fuzz-" + std::to_string(random()) + ".txt");
}

ScratchFile::~ScratchFile() {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

void ScratchFile::Write(std::string_view bytes) const {
  // A new file rather than a truncated one: file systems such as ext4 flush
  // a file rewritten after truncation to the disc when it is closed, which
  // would slow every run down to the disc's pace.
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
  std::ofstream file(path_, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  Check(file.good(), "the scratch file is written");
}

}  // namespace fuzz
