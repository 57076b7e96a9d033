#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <ftw.h>
#include <unistd.h>

namespace pirn_test {

namespace {
int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    return ::remove(path);
}

void MakeParents(const std::string& path) {
    for (size_t i = 1; i < path.size(); ++i) {
        if (path[i] == '/') {
            std::string prefix = path.substr(0, i);
            ::mkdir(prefix.c_str(), 0755);
        }
    }
}
}  // namespace

TempDir::TempDir(const std::string& base) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = !base.empty() ? base : std::string(tmp && *tmp ? tmp : "/tmp");
    std::string pattern = folder + "/pirn-test-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) {
        ADD_FAILURE() << "mkdtemp failed";
    }
    path_ = buf.data();
}

TempDir::~TempDir() {
    ::nftw(path_.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string TempDir::file(const std::string& relative) const { return path_ + "/" + relative; }

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    MakeParents(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(out.good()) << "cannot write " << path;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteAll(const std::string& path, const std::string& text) {
    WriteAll(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
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
