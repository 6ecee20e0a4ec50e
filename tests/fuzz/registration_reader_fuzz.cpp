// libFuzzer target: the registration-file reader on arbitrary bytes.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/data/registration_file.h"

namespace {

// The file each input is written to, removed when the fuzzer exits.
struct InputFile {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("zor-fuzz-" + std::to_string(::getpid()) + ".zrd");
  ~InputFile() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const InputFile input;
  const std::filesystem::path& path = input.path;
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  (void)zor::ValidateRegistrationFile(path);
  const auto texts = zor::ReadMessages(path);
  if (texts.ok() && texts.value().size() > static_cast<std::size_t>(zor::kMaxMessages)) __builtin_trap();
  for (int n : {1, 2, 500}) (void)zor::ReadMessage(path, n);
  return 0;
}
