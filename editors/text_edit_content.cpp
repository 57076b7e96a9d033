#include "editors/text_edit_content.h"

#include "codex/four_char_code.h"

namespace pirn {

namespace {

bool EndsString(char c) { return c == '\0' || c == '\n' || c == '\r'; }

// One '\n' for each CR, LF or CR LF.
void AppendWithLineBreaks(std::string_view in, std::string* out) {
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '\r') {
            out->push_back(in[i]);
            continue;
        }
        out->push_back('\n');
        if (i + 1 < in.size() && in[i + 1] == '\n') ++i;
    }
}

}  // namespace

TextTagKind TextTagKindOf(u32 group) {
    return group == MakeFourCC("stli") || group == MakeFourCC("temp") ? TextTagKind::StringList
                                                                        : TextTagKind::PlainText;
}

ShownText TextTagToShown(TextTagKind kind, std::string_view data) {
    ShownText shown;
    shown.text.reserve(data.size() + 1);
    if (kind == TextTagKind::PlainText) {
        const size_t nul = data.find('\0');
        AppendWithLineBreaks(data.substr(0, nul), &shown.text);
        if (nul != std::string_view::npos) shown.carried.assign(data.substr(nul));
        return shown;
    }
    size_t start = 0;
    while (start < data.size()) {
        size_t end = start;
        while (end < data.size() && !EndsString(data[end])) ++end;
        if (end > start) {
            shown.text.append(data.substr(start, end - start));
            shown.text.push_back('\n');
        }
        start = end + 1;
    }
    return shown;
}

std::string ShownToTextTag(std::string_view text, std::string_view carried) {
    std::string data;
    data.reserve(text.size() + carried.size());
    for (char c : text) data.push_back(c == '\n' ? '\r' : c);
    data.append(carried);
    return data;
}

}  // namespace pirn
