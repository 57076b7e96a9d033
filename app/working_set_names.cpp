#include "app/working_set_names.h"

#include "platform/pref_store.h"

namespace pirn {

namespace {
constexpr char kWorkingSetKey[] = "CodexWorkingSet";
}

std::string JoinWorkingSetNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        for (char c : name) {
            if (c == ';' || c == '\\') text += '\\';
            text += c;
        }
        text += ';';
    }
    return text;
}

std::vector<std::string> SplitWorkingSetNames(const std::string& text) {
    std::vector<std::string> names;
    std::string name;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            name += text[++i];
        } else if (c == ';') {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else {
            name += c;
        }
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

bool ReadWorkingSetNames(std::vector<std::string>* names) {
    std::string text;
    if (!GetPrefString(kWorkingSetKey, &text)) return false;
    *names = SplitWorkingSetNames(text);
    return true;
}

void WriteWorkingSetNames(const std::vector<std::string>& names) {
    SetPrefString(kWorkingSetKey, JoinWorkingSetNames(names));
}

}  // namespace pirn
