// The dependency rule, checked on the sources: every quoted include of the
// program's modules points down the chain platform <- ui <- codex <-
// collections <- editors <- models <- app, and within that chain a module's
// headless core uses only cores, its ui part (windows) also ui parts, its gl
// part also gl parts. The ui module is the toolkit itself, so it counts as a
// ui part and ui/gl as a gl part; platform with its os backends is all core.
// tests/, tools/, bench/ and fuzz/ may include anything and are not read.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace pirn_test {
namespace {

namespace fs = std::filesystem;

// Lowest first: a module may use itself and the modules before it.
const char* const kModules[] = {"platform", "ui", "codex", "collections", "editors", "models", "app"};

enum class Part { kCore, kUi, kGl };

struct PartArrow {
    Part from;
    Part to;
};
// What a part may use, in its own module and in lower ones.
const PartArrow kPartArrows[] = {
    {Part::kCore, Part::kCore},
    {Part::kUi, Part::kCore}, {Part::kUi, Part::kUi},
    {Part::kGl, Part::kCore}, {Part::kGl, Part::kUi}, {Part::kGl, Part::kGl},
};

// The program's entry point links everything and may include anything.
const char* const kProgramEntries[] = {"app/main.cpp"};

struct Place {
    int module = 0;
    Part part = Part::kCore;
};

std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    std::stringstream in(path);
    for (std::string part; std::getline(in, part, '/');) parts.push_back(part);
    return parts;
}

// Where a path from the source root lies; nothing for paths outside the
// program's modules.
std::optional<Place> Locate(const std::string& path) {
    const std::vector<std::string> parts = Components(path);
    if (parts.size() < 2) return std::nullopt;
    const auto module = std::find_if(std::begin(kModules), std::end(kModules),
                                     [&](const char* name) { return parts[0] == name; });
    if (module == std::end(kModules)) return std::nullopt;
    Place place;
    place.module = int(module - std::begin(kModules));
    const bool inSubfolder = parts.size() >= 3;
    if (parts[0] == "platform") {
        place.part = Part::kCore;
    } else if (parts[0] == "ui") {
        place.part = inSubfolder && parts[1] == "gl" ? Part::kGl : Part::kUi;
    } else if (inSubfolder && parts[1] == "ui") {
        place.part = Part::kUi;
    } else if (inSubfolder && parts[1] == "gl") {
        place.part = Part::kGl;
    }
    return place;
}

bool IsProgramEntry(const std::string& path) {
    return std::any_of(std::begin(kProgramEntries), std::end(kProgramEntries),
                       [&](const char* entry) { return path == entry; });
}

bool Allowed(const std::string& from, const std::string& to) {
    if (IsProgramEntry(from)) return Locate(to).has_value();
    const std::optional<Place> a = Locate(from), b = Locate(to);
    if (!a || !b || b->module > a->module) return false;
    return std::any_of(std::begin(kPartArrows), std::end(kPartArrows),
                       [&](const PartArrow& arrow) { return arrow.from == a->part && arrow.to == b->part; });
}

// The quoted name of an `#include "..."` line, else empty.
std::string QuotedInclude(const std::string& line) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') return "";
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0) return "";
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string::npos || line[i] != '"') return "";
    const size_t end = line.find('"', i + 1);
    return end == std::string::npos ? "" : line.substr(i + 1, end - i - 1);
}

bool IsSourceFile(const fs::path& path) {
    const std::string ext = path.extension().string();
    return ext == ".h" || ext == ".hpp" || ext == ".cpp" || ext == ".cc" || ext == ".inl";
}

struct Violation {
    std::string file;  // from the source root
    int line = 0;
    std::string included;
};

// Every include of every source file of the modules that breaks the rule.
// An include that is not a path from the source root is taken relative to
// the including file, as the compiler would find it first.
std::vector<Violation> CheckSourceTree(const fs::path& root, size_t* filesRead) {
    std::vector<Violation> violations;
    *filesRead = 0;
    for (const char* module : kModules) {
        if (!fs::is_directory(root / module)) continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / module)) {
            if (!entry.is_regular_file() || !IsSourceFile(entry.path())) continue;
            const std::string from = fs::relative(entry.path(), root).generic_string();
            ++*filesRead;
            std::ifstream in(entry.path());
            int lineNumber = 0;
            for (std::string line; std::getline(in, line);) {
                ++lineNumber;
                std::string to = QuotedInclude(line);
                if (to.empty()) continue;
                if (!Locate(to)) {
                    const fs::path beside = entry.path().parent_path() / to;
                    if (fs::exists(beside)) to = fs::relative(beside, root).lexically_normal().generic_string();
                }
                if (Allowed(from, to)) continue;
                violations.push_back({from, lineNumber, to});
            }
        }
    }
    return violations;
}

TEST(Layering, TheTableAllowsOnlyDownwardArrows) {
    struct Case {
        const char* from;
        const char* to;
        bool allowed;
    } cases[] = {
        {"codex/archive.cpp", "platform/records.h", true},
        {"codex/archive.cpp", "codex/tag_header.h", true},
        {"platform/os/glfw/glfw_window.cpp", "platform/os/os_window.h", true},
        {"platform/os/gl/gl_texture.cpp", "platform/pixel_image.h", true},
        {"platform/strings.cpp", "ui/window.h", false},
        {"ui/window.cpp", "platform/os/os_window.h", true},
        {"ui/window.cpp", "ui/gl/draw_text.h", false},
        {"ui/gl/draw_text.cpp", "ui/window.h", true},
        {"ui/gl/draw_text.cpp", "codex/codex.h", false},
        {"codex/codex_log.cpp", "ui/window.h", false},  // a core opens no window
        {"codex/ui/tag_edit.cpp", "ui/window.h", true},
        {"codex/ui/tag_edit.cpp", "codex/codex.h", true},
        {"codex/ui/tag_edit.cpp", "collections/bitmap.h", false},
        {"codex/ui/tag_edit.cpp", "ui/gl/draw_text.h", false},
        {"collections/bitmap.cpp", "codex/ui/tag_edit.h", false},
        {"collections/ui/browser.cpp", "codex/ui/tag_edit.h", true},
        {"collections/gl/preview.cpp", "ui/gl/draw_text.h", true},
        {"collections/gl/preview.cpp", "codex/gl/any.h", true},
        {"collections/gl/preview.cpp", "collections/ui/browser.h", true},
        {"collections/ui/browser.cpp", "collections/gl/preview.h", false},
        {"editors/struct_editor.cpp", "collections/bitmap.h", true},
        {"collections/bitmap.cpp", "editors/struct_editor.h", false},
        {"models/terrain.cpp", "editors/struct_editor.h", true},
        {"editors/struct_editor.cpp", "models/terrain.h", false},
        {"app/startup_log.cpp", "models/terrain.h", true},
        {"app/ui/idle_wait.cpp", "app/gl/frame_hook.h", false},
        {"app/main.cpp", "app/gl/program_run.h", true},
        {"ui/window.cpp", "tests/ui/widget_fixture.h", false},
        {"codex/codex.cpp", "tools/demo_game/demo_game.h", false},
    };
    for (const Case& c : cases) EXPECT_EQ(Allowed(c.from, c.to), c.allowed) << c.from << " -> " << c.to;
}

TEST(Layering, EveryIncludeOfTheProgramFollowsTheArrows) {
    const fs::path root = SourceDir();
    ASSERT_TRUE(fs::is_directory(root / "platform")) << "no source tree at " << root;
    size_t filesRead = 0;
    const std::vector<Violation> violations = CheckSourceTree(root, &filesRead);
    ASSERT_GT(filesRead, 0u);
    for (const Violation& v : violations)
        ADD_FAILURE_AT(v.file.c_str(), v.line) << v.file << " may not include \"" << v.included << "\"";
    EXPECT_TRUE(violations.empty()) << violations.size() << " includes point the wrong way (listed above)";
}

}  // namespace
}  // namespace pirn_test
