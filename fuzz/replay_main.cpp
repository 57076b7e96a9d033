// Replays files through a harness's entry point once each, without libFuzzer:
// the unit test of every harness (so its corpus also runs under the
// sanitizers and in the 32-bit build) and a quick way to rerun one finding.
//
//   fuzz_NAME_replay FILE_OR_FOLDER...
//
// Folders are read in name order; a folder that does not exist is skipped.
// Each file's name is printed before it runs, so the last name printed
// names the input when a crash or a broken invariant of the harness ends
// the program as it would end the fuzzer. Exits non-zero when no file at
// all was found.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

std::vector<std::string> FilesOf(const std::string& argument) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code error;
    if (fs::is_directory(argument, error)) {
        for (const auto& entry : fs::directory_iterator(argument, error))
            if (entry.is_regular_file(error)) files.push_back(entry.path().string());
        std::sort(files.begin(), files.end());
    } else if (fs::is_regular_file(argument, error)) {
        files.push_back(argument);
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const std::string& path : FilesOf(argv[i])) {
            std::ifstream in(path, std::ios::binary);
            std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (!in.good() && !in.eof()) {
                std::fprintf(stderr, "cannot read %s\n", path.c_str());
                return 1;
            }
            std::printf("%s\n", path.c_str());
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return replayed > 0 ? 0 : 1;
}
