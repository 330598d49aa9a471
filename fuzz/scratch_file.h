#pragma once

#include <filesystem>
#include <string_view>

namespace fuzz {

// A file of the temporary folder that the targets reading a file write their
// input into. Its name is drawn at random, so that several runs side by side
// never share one; it is removed with the object.
class ScratchFile {
 public:
  ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile();

  // Replaces the whole file with `bytes`, written in binary mode.
  void Write(std::string_view bytes) const;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace fuzz
