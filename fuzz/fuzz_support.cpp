#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "platform/log_message.h"

namespace pirn_fuzz {

namespace {

std::string MakeScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::error_code error;
    std::string root = base && *base ? std::string(base) : std::filesystem::temp_directory_path(error).generic_u8string();
    if (root.empty()) root = "/tmp";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string folder = root + "/pirn-fuzz-" + std::to_string(random()) + std::to_string(attempt);
        if (std::filesystem::create_directory(std::filesystem::u8path(folder), error)) return folder;
    }
    std::fprintf(stderr, "pirn fuzz: cannot make a scratch folder in %s\n", root.c_str());
    std::abort();
}

void RemoveScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(ScratchFolder(), error);
}

}  // namespace

const std::string& ScratchFolder() {
    // Never destroyed: the exit handler that removes the folder still needs it.
    static const std::string* folder = [] {
        auto* made = new std::string(MakeScratchFolder());
        std::atexit(RemoveScratchFolder);
        return made;
    }();
    return *folder;
}

std::string WriteScratchFile(const std::string& relative, const uint8_t* data, size_t size) {
    std::string path = ScratchFolder() + "/" + relative;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file != nullptr && (size == 0 || std::fwrite(data, 1, size, file) == size);
    if (file && std::fclose(file) != 0) ok = false;
    if (!ok) {
        std::fprintf(stderr, "pirn fuzz: cannot write scratch file %s\n", path.c_str());
        std::abort();
    }
    return path;
}

void ClearScratchFolder() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(ScratchFolder(), error))
        std::filesystem::remove_all(entry.path(), error);
}

void SilenceLogs() {
    pirn::SetLogHandler([](pirn::i32, const std::string&, const std::string&) {});
}

std::vector<std::string> SplitInput(const uint8_t* data, size_t size, const std::string& separator,
                                    size_t max_parts) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    size_t start = 0;
    while (parts.size() + 1 < max_parts) {
        size_t at = text.find(separator, start);
        if (at == std::string::npos) break;
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

void CheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::abort();
}

}  // namespace pirn_fuzz
