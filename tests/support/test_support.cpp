#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace pirn_test {

namespace fs = std::filesystem;

namespace {
// Paths here are UTF-8, as everywhere in the program (Windows included).
fs::path NativePath(const std::string& path) { return fs::u8path(path); }

void MakeParents(const std::string& path) {
    std::error_code error;
    fs::create_directories(NativePath(path).parent_path(), error);
}

std::string TempRoot() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && *tmp) return tmp;
    std::error_code error;
    fs::path system = fs::temp_directory_path(error);
    if (error) return "/tmp";
    std::string root = system.generic_u8string();
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    return root;
}
}  // namespace

TempDir::TempDir(const std::string& base) {
    const std::string folder = !base.empty() ? base : TempRoot();
    static std::mt19937_64 random(std::random_device{}());
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        std::string name = "pirn-test-";
        for (int i = 0; i < 8; ++i) name += kLetters[random() % 36];
        std::error_code error;
        // create_directory is false for a folder that was there already.
        if (fs::create_directory(NativePath(folder + "/" + name), error)) path_ = folder + "/" + name;
    }
    if (path_.empty()) ADD_FAILURE() << "cannot make a scratch folder in " << folder;
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    std::error_code error;
    fs::remove_all(NativePath(path_), error);
}

std::string TempDir::file(const std::string& relative) const { return path_ + "/" + relative; }

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    MakeParents(path);
    std::ofstream out(NativePath(path), std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(out.good()) << "cannot write " << path;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteAll(const std::string& path, const std::string& text) {
    WriteAll(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(NativePath(path), error);
}

void AgeFile(const std::string& path, int seconds) {
    std::error_code error;
    const fs::path native = NativePath(path);
    const auto now = fs::last_write_time(native, error);
    ASSERT_FALSE(error) << path;
    fs::last_write_time(native, now - std::chrono::seconds(seconds), error);
    ASSERT_FALSE(error) << path;
}

std::string CurrentFolder() {
    std::error_code error;
    return fs::current_path(error).generic_u8string();
}

bool ChangeFolder(const std::string& path) {
    std::error_code error;
    fs::current_path(NativePath(path), error);
    return !error;
}

bool MakeFolder(const std::string& path) {
    std::error_code error;
    return fs::create_directory(NativePath(path), error);
}

long PeakMemoryKiB() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

std::string TestDataDir() {
    const char* dir = std::getenv("PIRN_TESTDATA_DIR");
    return dir ? dir : std::string(PIRN_SOURCE_DIR_FALLBACK) + "/tests/data";
}

std::string SourceDir() {
    const char* dir = std::getenv("PIRN_SOURCE_DIR");
    return dir ? dir : std::string(PIRN_SOURCE_DIR_FALLBACK);
}

std::string GeneratedResource(const std::string& name) {
    const char* build = std::getenv("PIRN_BUILD_DIR");
    const std::string candidates[] = {std::string(build ? build : ".") + "/run/res/" + name,
                                      SourceDir() + "/build/release/run/res/" + name};
    for (const auto& c : candidates)
        if (Exists(c)) return c;
    return "";
}

}  // namespace pirn_test
