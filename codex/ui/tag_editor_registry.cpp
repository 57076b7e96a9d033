#include "codex/ui/tag_editor_registry.h"

#include <cstring>

#include "codex/four_char_code.h"

namespace pirn {

namespace {

std::vector<DedicatedEditorRow> MakeTable() {
    auto codes = [](std::initializer_list<const char*> names) {
        std::vector<u32> groups;
        for (const char* name : names) {
            u32 code = 0;
            ParseFourCC(name, &code);
            groups.push_back(code);
        }
        return groups;
    };
    return {
        {"TextEdit", codes({"ditl", "scri", "stli", "temp", "text"}), nullptr},
        {"MeshEdit", codes({"mesh"}), nullptr},
        {"GeomEdit", codes({"geom"}), nullptr},
        {"X256Edit", codes({".256"}), nullptr},
        {"DtexEdit", codes({"dtex"}), nullptr},
        {"SoundEdit", codes({"soun"}), nullptr},
        {"DmapEdit", codes({"dmap"}), nullptr},
        {"DialogEdit", codes({"bina"}), nullptr},
    };
}

std::vector<DedicatedEditorRow>& Table() {
    static std::vector<DedicatedEditorRow> table = MakeTable();
    return table;
}

}  // namespace

const std::vector<DedicatedEditorRow>& GetDedicatedEditorTable() { return Table(); }

int BindTagEditor(const char* editor, TagEditorFactory factory) {
    if (!editor) return 0;
    for (DedicatedEditorRow& row : Table()) {
        if (std::strcmp(row.editor, editor) != 0) continue;
        row.factory = factory;
        return 1;
    }
    return 0;
}

void UnbindTagEditors() {
    for (DedicatedEditorRow& row : Table()) row.factory = nullptr;
}

u32 RegisterTagEditors() {
    u32 registered = 0;
    for (const DedicatedEditorRow& row : Table()) {
        if (!row.factory) continue;
        for (u32 group : row.groups) {
            SetTagGroupEditor(group, row.factory);
            ++registered;
        }
    }
    return registered;
}

}  // namespace pirn
