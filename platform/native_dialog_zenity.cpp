#include "platform/native_dialog_zenity.h"

#include <cstdio>
#include <cstdlib>

#include "platform/char_map.h"

namespace pirn {
namespace {

void AddCommon(std::vector<std::string>& args, const std::string& title, const ZenityParent& parent) {
    args.push_back("--title=" + CharMapToUtf8(title));
    args.push_back("--modal");
    if (parent.window != 0) {
        args.push_back("--attach=" + std::to_string(static_cast<unsigned long long>(parent.window)));
    }
}

// A message box of the given kind; the text is shown as it is, never as
// markup.
std::vector<std::string> MessageArgs(const char* kind, const std::string& title, const std::string& text,
                                     const ZenityParent& parent) {
    std::vector<std::string> args = {kind};
    AddCommon(args, title, parent);
    args.push_back("--no-markup");
    args.push_back("--text=" + CharMapToUtf8(text));
    return args;
}

// zenity splits a filter at its first '|' into name and patterns, and the
// patterns at spaces.
std::string FilterArgument(const FileDialogFilter& filter) {
    std::string name = CharMapToUtf8(filter.name);
    for (char& c : name) {
        if (c == '|') c = '/';
    }
    std::string patterns;
    std::size_t start = 0;
    while (start <= filter.pattern.size()) {
        std::size_t end = filter.pattern.find(';', start);
        if (end == std::string::npos) end = filter.pattern.size();
        const std::string one = filter.pattern.substr(start, end - start);
        if (!one.empty() && one.find(' ') == std::string::npos) {
            if (!patterns.empty()) patterns += ' ';
            patterns += one == "*.*" ? std::string("*") : CaseInsensitiveGlob(one);
        }
        start = end + 1;
    }
    if (patterns.empty()) patterns = "*";
    return "--file-filter=" + name + " | " + patterns;
}

std::string Trimmed(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\n' || text[begin] == '\r')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
    return text.substr(begin, end - begin);
}

bool ParseByte(const std::string& text, u8* value) {
    const std::string t = Trimmed(text);
    if (t.empty() || t.size() > 3) return false;
    int v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > 255) return false;
    *value = static_cast<u8>(v);
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string CaseInsensitiveGlob(const std::string& pattern) {
    std::string glob;
    for (char c : pattern) {
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        if (upper || lower) {
            const char lo = upper ? static_cast<char>(c - 'A' + 'a') : c;
            const char hi = static_cast<char>(lo - 'a' + 'A');
            glob += '[';
            glob += lo;
            glob += hi;
            glob += ']';
        } else {
            glob += c;
        }
    }
    return glob;
}

std::vector<std::string> ZenityFileSelectionArgs(const FileDialogRequest& request,
                                                 const std::string& current_folder,
                                                 const ZenityParent& parent) {
    std::vector<std::string> args = {"--file-selection"};
    AddCommon(args, request.title, parent);
    switch (request.kind) {
    case FileDialogKind::kOpenFile:
        break;
    case FileDialogKind::kOpenFiles:
        args.push_back("--multiple");
        args.push_back(std::string("--separator=") + kZenityPathSeparator);
        break;
    case FileDialogKind::kSaveFile:
        args.push_back("--save");
        args.push_back("--confirm-overwrite");
        break;
    case FileDialogKind::kChooseFolder:
        args.push_back("--directory");
        break;
    }

    std::string folder = request.initial_folder;
    if (!folder.empty() && folder[0] != '/' && !current_folder.empty()) {
        folder = current_folder + (current_folder.back() == '/' ? "" : "/") + folder;
    }
    if (folder.empty() && !request.initial_name.empty() && !current_folder.empty()) {
        folder = current_folder + (current_folder.back() == '/' ? "" : "/");
    }
    if (!folder.empty() || !request.initial_name.empty()) {
        args.push_back("--filename=" + folder + request.initial_name);
    }

    // The chooser selects its first filter, so the starting one leads.
    if (request.start_filter_index < request.filters.size()) {
        args.push_back(FilterArgument(request.filters[request.start_filter_index]));
    }
    for (std::size_t i = 0; i < request.filters.size(); ++i) {
        if (i != request.start_filter_index) args.push_back(FilterArgument(request.filters[i]));
    }
    return args;
}

std::vector<std::string> ParseZenityFileOutput(const std::string& output, bool multiple) {
    std::string text = output;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    std::vector<std::string> paths;
    if (text.empty()) return paths;
    if (!multiple) {
        paths.push_back(text);
        return paths;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(kZenityPathSeparator, start);
        if (end == std::string::npos) end = text.size();
        if (end > start) paths.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

std::vector<std::string> ZenityChoiceArgs(const std::string& title, const FileDialogBox& box,
                                          const ZenityParent& parent) {
    std::vector<std::string> args = {"--list", "--radiolist"};
    // "Export Plate - Mode": which dialog it belongs to and what it asks.
    std::string name = box.label;
    while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.pop_back();
    AddCommon(args, name.empty() ? title : title + " - " + name, parent);
    args.push_back("--text=" + CharMapToUtf8(box.label));
    args.push_back("--column=");
    args.push_back("--column=Index");
    args.push_back("--column=" + CharMapToUtf8(box.label));
    args.push_back("--hide-column=2");
    args.push_back("--print-column=2");
    args.push_back("--hide-header");
    for (std::size_t i = 0; i < box.choices.size(); ++i) {
        args.push_back(i == box.default_index ? "TRUE" : "FALSE");
        args.push_back(std::to_string(i));
        args.push_back(CharMapToUtf8(box.choices[i].name));
    }
    return args;
}

bool ParseZenityChoice(const std::string& output, const FileDialogBox& box, u32* index) {
    const std::string t = Trimmed(output);
    if (t.empty() || t.size() > 9) return false;
    u32 value = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<u32>(c - '0');
    }
    if (value >= box.choices.size()) return false;
    *index = value;
    return true;
}

std::vector<std::string> ZenityColorArgs(const ColorRgb& initial, const ZenityParent& parent) {
    std::vector<std::string> args = {"--color-selection"};
    AddCommon(args, "Color", parent);
    char color[32];
    std::snprintf(color, sizeof color, "rgb(%d,%d,%d)", initial.red, initial.green, initial.blue);
    args.push_back(std::string("--color=") + color);
    args.push_back("--show-palette");
    return args;
}

bool ParseZenityColor(const std::string& output, ColorRgb* color) {
    const std::string t = Trimmed(output);
    if (t.size() == 7 && t[0] == '#') {
        int v[6];
        for (int i = 0; i < 6; ++i) {
            v[i] = HexDigit(t[1 + i]);
            if (v[i] < 0) return false;
        }
        *color = ColorRgb{static_cast<u8>(v[0] * 16 + v[1]), static_cast<u8>(v[2] * 16 + v[3]),
                          static_cast<u8>(v[4] * 16 + v[5])};
        return true;
    }
    std::size_t open = t.find('(');
    const std::string head = t.substr(0, open);
    if (open == std::string::npos || t.back() != ')' || (head != "rgb" && head != "rgba")) return false;
    const std::string inside = t.substr(open + 1, t.size() - open - 2);
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= inside.size()) {
        std::size_t end = inside.find(',', start);
        if (end == std::string::npos) end = inside.size();
        parts.push_back(inside.substr(start, end - start));
        start = end + 1;
    }
    if (parts.size() != (head == "rgb" ? 3u : 4u)) return false;
    ColorRgb parsed;
    if (!ParseByte(parts[0], &parsed.red) || !ParseByte(parts[1], &parsed.green) ||
        !ParseByte(parts[2], &parsed.blue)) {
        return false;
    }
    *color = parsed;
    return true;
}

std::string GtkCustomColorsKeyfile(const CustomColors& colors) {
    std::string text = "[org/gtk/settings/color-chooser]\ncustom-colors=[";
    for (std::size_t i = 0; i < colors.size(); ++i) {
        char entry[96];
        std::snprintf(entry, sizeof entry, "%s(%.6f, %.6f, %.6f, 1.0)", i ? ", " : "", colors[i].red / 255.0,
                      colors[i].green / 255.0, colors[i].blue / 255.0);
        text += entry;
    }
    return text + "]\n";
}

std::vector<ColorRgb> ParseGtkCustomColors(const std::string& keyfile) {
    std::vector<ColorRgb> colors;
    const std::string key = "custom-colors=";
    std::size_t at = keyfile.find("\n" + key);
    if (at == std::string::npos) {
        if (keyfile.compare(0, key.size(), key) != 0) return colors;
        at = 0;
    } else {
        ++at;
    }
    const std::size_t end = keyfile.find('\n', at);
    const std::string line = keyfile.substr(at + key.size(), end == std::string::npos ? std::string::npos : end - at - key.size());
    std::size_t open = line.find('(');
    while (open != std::string::npos && colors.size() < kCustomColorCount) {
        const std::size_t close = line.find(')', open);
        if (close == std::string::npos) break;
        const std::string inside = line.substr(open + 1, close - open - 1);
        double v[4] = {0, 0, 0, 0};
        int n = 0;
        const char* p = inside.c_str();
        while (n < 4) {
            char* next = nullptr;
            v[n] = std::strtod(p, &next);
            if (next == p) break;
            ++n;
            p = next;
            while (*p == ',' || *p == ' ') ++p;
        }
        if (n == 4) {
            u8 c[3];
            for (int i = 0; i < 3; ++i) {
                const double clamped = v[i] < 0 ? 0 : (v[i] > 1 ? 1 : v[i]);
                c[i] = static_cast<u8>(clamped * 255.0 + 0.5);
            }
            colors.push_back(ColorRgb{c[0], c[1], c[2]});
        }
        open = line.find('(', close);
    }
    return colors;
}

void MergeCustomColors(const std::vector<ColorRgb>& chooser_list, CustomColors* table) {
    std::vector<ColorRgb> merged;
    for (const ColorRgb& c : chooser_list) {
        if (merged.size() < kCustomColorCount) merged.push_back(c);
    }
    for (const ColorRgb& c : *table) {
        if (merged.size() == kCustomColorCount) break;
        bool present = false;
        for (const ColorRgb& m : merged) present = present || m == c;
        if (!present) merged.push_back(c);
    }
    // Fewer distinct colours than slots: the old tail stays.
    for (std::size_t i = 0; i < merged.size(); ++i) (*table)[i] = merged[i];
}

std::vector<std::string> ZenityQuestionArgs(const std::string& title, const std::string& text,
                                            const ZenityParent& parent) {
    return MessageArgs("--question", title, text, parent);
}

std::vector<std::string> ZenityErrorArgs(const std::string& title, const std::string& text,
                                         const ZenityParent& parent) {
    return MessageArgs("--error", title, text, parent);
}

}  // namespace pirn
