// Runs a harness over every file of the corpus folders named on the command line, one
// by one as libFuzzer would: a crash or a failed check ends the test.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "fuzz.h"

int main(int argc, char** argv) {
  std::size_t runs = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
      std::ifstream in(file, std::ios::binary);
      const orvenda::fuzz::Bytes bytes{std::istreambuf_iterator<char>(in), {}};
      std::cerr << file.filename().string() << '\n';  // names the input a crash came from
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++runs;
    }
  }
  std::cout << runs << " corpus files ran\n";
  return runs > 0 ? 0 : 1;  // an empty or missing folder proves nothing
}
