// Writes a generated subscriber file: make-blank-file PATH COUNT SEED.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "testdata/blank_file_generator.h"

namespace {

template <typename T>
bool ParseArgument(std::string_view text, T& value) {
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

int main(int argc, char** argv) {
  testdata::BlankFileOptions options;
  if (argc != 4 || !ParseArgument(argv[2], options.count) ||
      options.count < 0 || !ParseArgument(argv[3], options.seed)) {
    std::fprintf(stderr, "usage: make-blank-file PATH COUNT SEED\n");
    return 2;
  }
  const records::Result<std::uintmax_t> size =
      testdata::WriteBlankFile(argv[1], options);
  if (!size) {
    std::fprintf(stderr, "%s\n", size.failure().message.c_str());
    return 1;
  }
  std::printf("%d cards, %ju bytes\n", options.count, size.value());
  return 0;
}
