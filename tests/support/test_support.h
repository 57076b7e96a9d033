#pragma once
// Small helpers shared by the test suites: scratch folders and whole-file I/O.

#include <cstdint>
#include <string>
#include <vector>

namespace pirn_test {

// A fresh folder under the system's temporary folder (or under `base` when
// given), removed with everything inside it when the object goes away.
class TempDir {
public:
    explicit TempDir(const std::string& base = std::string());
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + relative
    std::string file(const std::string& relative) const;

private:
    std::string path_;
};

std::vector<uint8_t> ReadAll(const std::string& path);
// Writes bytes to path, making parent folders; fails the test on error.
void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteAll(const std::string& path, const std::string& text);
bool Exists(const std::string& path);
// Moves the file's modification time `seconds` into the past.
void AgeFile(const std::string& path, int seconds);
// The working folder, with '/' separators.
std::string CurrentFolder();
bool ChangeFolder(const std::string& path);
bool MakeFolder(const std::string& path);
// The most memory the process has held so far, in KiB (its peak resident
// set; on Windows its peak working set).
long PeakMemoryKiB();

// Folder of the third-party test files kept in the source tree
// (tests/data: PngSuite with its licence).
std::string TestDataDir();
// Root of the source tree.
std::string SourceDir();
// A file the build generates into run/res (the font, the texture pack):
// first the build under test ($PIRN_BUILD_DIR, else the working folder),
// then the release build, which the 32-bit build borrows from. Empty when
// neither has it.
std::string GeneratedResource(const std::string& name);

}  // namespace pirn_test
