#include "editors/text_edit_content.h"

#include <algorithm>

#include "codex/four_char_code.h"

namespace pirn {

namespace {

bool EndsString(char c) { return c == '\0' || c == '\n' || c == '\r'; }

// One '\n' for each CR, LF or CR LF; the runs between CRs go over whole.
void AppendWithLineBreaks(std::string_view in, std::string* out) {
    size_t start = 0;
    for (;;) {
        const size_t cr = in.find('\r', start);
        out->append(in.substr(start, cr == std::string_view::npos ? std::string_view::npos : cr - start));
        if (cr == std::string_view::npos) return;
        out->push_back('\n');
        start = cr + 1;
        if (start < in.size() && in[start] == '\n') ++start;
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
    data.append(text);
    std::replace(data.begin(), data.end(), '\n', '\r');
    data.append(carried);
    return data;
}

}  // namespace pirn
