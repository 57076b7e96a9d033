#include <cstdio>
#include <filesystem>
#include <system_error>

#include "codex/tag_group.h"
#include "platform/file_ops.h"
#include "tools/demo_game/demo_game.h"

namespace fs = std::filesystem;

namespace pirn::demo {

namespace {

// Left in every folder this writer makes, so that a rerun replaces only a
// folder it made itself.
constexpr const char* kMarkerName = ".pirn-demo-game";

bool IsOurs(const fs::path& folder) {
    std::error_code ec;
    if (!fs::exists(folder, ec)) return true;
    if (!fs::is_directory(folder, ec)) return false;
    if (fs::is_empty(folder, ec)) return true;
    return fs::exists(folder / kMarkerName, ec);
}

bool WriteFile(const fs::path& path, const std::vector<u8>& bytes, std::string* error) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::FILE* f = OpenFileStream(path.u8string(), "wb");
    bool ok = f != nullptr;
    if (ok && !bytes.empty()) ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok) *error = "cannot write " + path.string();
    return ok;
}

bool WriteInto(const DemoGame& game, const fs::path& root, std::string* error) {
    std::error_code ec;
    fs::create_directories(root / "tags", ec);
    fs::create_directories(root / "plugins", ec);
    // Every group has its local subfolder, as the program expects to watch.
    for (u32 i = 0; i < kTagGroupCount; ++i) fs::create_directories(root / "local" / TagGroupTable[i].plural_label, ec);
    if (ec) {
        *error = "cannot create folders in " + root.string() + ": " + ec.message();
        return false;
    }
    if (!WriteFile(root / kMarkerName, {}, error)) return false;
    for (const DemoArchive& archive : game.archives)
        if (!WriteFile(root / archive.folder / archive.file_name, EncodeArchive(archive), error)) return false;
    for (const DemoLocalFile& file : game.local_files) {
        const fs::path path = root / "local" / TagGroupLabelText(file.tag.group) / file.file_name;
        if (!WriteFile(path, EncodeTagFile(file), error)) return false;
    }
    for (const DemoFile& file : game.files)
        if (!WriteFile(root / file.path, file.bytes, error)) return false;
    const std::string contents = DescribeDemoGame(game);
    return WriteFile(root / "contents.txt", std::vector<u8>(contents.begin(), contents.end()), error);
}

}  // namespace

bool WriteDemoGame(const DemoGame& game, const std::string& folder, std::string* error) {
    if (folder.empty()) {
        *error = "no folder given";
        return false;
    }
    const fs::path target = fs::absolute(fs::path(folder)).lexically_normal();
    const fs::path staging = target.string() + ".new";
    const fs::path retired = target.string() + ".old";
    if (!IsOurs(target)) {
        *error = target.string() + " exists and is not a demo game folder; left alone";
        return false;
    }
    std::error_code ec;
    for (const fs::path& leftover : {staging, retired}) {
        if (!IsOurs(leftover)) {
            *error = leftover.string() + " is in the way and is not a demo game folder";
            return false;
        }
        fs::remove_all(leftover, ec);
    }
    // Build beside the target, then swap it in: a failed run leaves the
    // previous demo folder as it was.
    if (!WriteInto(game, staging, error)) {
        fs::remove_all(staging, ec);
        return false;
    }
    const bool had_old = fs::exists(target, ec);
    if (had_old) fs::rename(target, retired, ec);
    if (!ec) fs::rename(staging, target, ec);
    if (ec) {
        *error = "cannot move the new folder into place: " + ec.message();
        if (had_old && !fs::exists(target)) fs::rename(retired, target, ec);
        return false;
    }
    fs::remove_all(retired, ec);
    return true;
}

}  // namespace pirn::demo
