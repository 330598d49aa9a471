#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace test_support {

// A fresh folder of its own under the system's temporary folder, removed
// with everything in it at the end. Its name is drawn at random, so that
// runs side by side never share one.
class TempFolder {
 public:
  TempFolder() {
    std::random_device device;
    std::mt19937_64 random(device());
    do {
      path_ = std::filesystem::temp_directory_path() /
              ("subscriber-card-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The whole file; the empty text when it does not exist.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Makes the file hold exactly `bytes`; false when it could not be written.
inline bool WriteBytes(const std::filesystem::path& path,
                       std::string_view bytes) {
  // A new file rather than a truncated one: file systems such as ext4 flush
  // a file rewritten after truncation to the disc when it is closed, which
  // would slow a fuzzer down to the disc's pace.
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return file.good();
}

}  // namespace test_support
