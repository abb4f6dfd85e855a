// Runs a fuzz target once over each stored input, outside libFuzzer, so that the inputs that once
// failed, and the seeds, are checked by every test build.
//
//   <target>_replay <directory>...
//
// Every regular file in each directory, in name order, is one input; a directory that does not
// exist holds none, since a target has no regressions until it first fails. Exits 0 after the
// last input; a failed invariant or a sanitizer report stops the process before. An unreadable
// directory or file, or no input at all, exits 1: a replay that checks nothing must not pass.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

namespace fs = std::filesystem;

bool ReadFile(const fs::path& path, std::vector<uint8_t>& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    if (!fs::exists(argv[i], error) && !error) continue;
    for (fs::directory_iterator entry(argv[i], error), end; !error && entry != end;
         entry.increment(error)) {
      if (entry->is_regular_file()) inputs.push_back(entry->path());
    }
    if (error) {
      std::fprintf(stderr, "replay: %s: %s\n", argv[i], error.message().c_str());
      return 1;
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "replay: no inputs\n");
    return 1;
  }
  std::sort(inputs.begin(), inputs.end());
  for (const fs::path& path : inputs) {
    std::vector<uint8_t> bytes;
    if (!ReadFile(path, bytes)) {
      std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
      return 1;
    }
    std::fprintf(stderr, "replay: %s\n", path.c_str());
    std::fflush(stderr);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("replay: %zu inputs passed\n", inputs.size());
  return 0;
}
