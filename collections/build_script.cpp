#include "collections/build_script.h"

#include <cctype>
#include <cstring>
#include <limits>

#include "platform/file_system.h"
#include "platform/strings.h"

namespace pirn {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool SameNoCase(const std::string& a, const char* b) {
    const size_t n = std::strlen(b);
    return a.size() == n && CompareNoCaseN(a.c_str(), b, n) == 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the digits at text[*i], saturating at the largest i32.
i64 ReadDigits(const std::string& text, size_t* i) {
    i64 value = 0;
    for (; *i < text.size() && IsDigit(text[*i]); ++*i) {
        value = value * 10 + (text[*i] - '0');
        if (value > std::numeric_limits<i32>::max()) value = std::numeric_limits<i32>::max();
    }
    return value;
}

// Reads an optionally signed decimal integer after blanks; false when none
// is there.
bool ReadInteger(const std::string& text, size_t* i, i64* value) {
    while (*i < text.size() && IsBlank(text[*i])) ++*i;
    bool negative = false;
    if (*i < text.size() && (text[*i] == '-' || text[*i] == '+')) {
        negative = text[*i] == '-';
        ++*i;
    }
    if (*i >= text.size() || !IsDigit(text[*i])) return false;
    const i64 digits = ReadDigits(text, i);
    *value = negative ? -digits : digits;
    return true;
}

// degrees x 65536 / 360, truncated, as a 16-bit fraction of a turn. 360
// itself is the top of the range, as on the hue editor's colour bar:
// wrapped to 0 it would make "0 to 360" a range that holds no hue. Other
// values past a turn wrap round.
u16 DegreesToHue(i64 degrees) {
    if (degrees == 360) return 0xFFFF;
    return static_cast<u16>((degrees * 65536 / 360) & 0xFFFF);
}

u16 PercentToSaturation(i64 percent) {
    if (percent >= 100) return 0xFFFF;
    if (percent < 0) percent = 0;  // a negative share would wrap to nearly full saturation
    return static_cast<u16>(percent * 65535 / 100 + 1);
}

i32 ParseOrder(const std::string& value) {
    if (SameNoCase(value, "ViewsThenFrames")) return kViewsThenFrames;
    if (SameNoCase(value, "FramesThenViews")) return kFramesThenViews;
    return kOrderUnset;
}

i32 ParseAlignType(const std::string& value) {
    static const char* const kNames[] = {"WholeSequence", "BitmapsIndividually", "ViewsIndividually",
                                         "FramesIndividually"};
    for (i32 i = 0; i < 4; ++i)
        if (SameNoCase(value, kNames[i])) return i;
    return kAlignUnset;
}

void ApplyLine(const std::string& line, BuildScript* script) {
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    if (start >= line.size()) return;
    if (line[start] == '(') {
        script->frame_list = ParseFrameList(line.substr(start + 1));
        script->has_frame_list = true;
        return;
    }
    size_t key_end = start;
    while (key_end < line.size() && !IsBlank(line[key_end])) ++key_end;
    const std::string key = line.substr(start, key_end - start);
    const std::string value = TrimBlanks(line.substr(key_end));
    if (SameNoCase(key, "BitmapOrder")) {
        const i32 order = ParseOrder(value);
        if (order != kOrderUnset) script->order = order;
    } else if (SameNoCase(key, "AlignType")) {
        const i32 align = ParseAlignType(value);
        if (align != kAlignUnset) script->align = align;
    } else if (SameNoCase(key, "AlignIndividually")) {
        script->align = ParseTruthValue(value) ? kAlignBitmapsIndividually : kAlignWholeSequence;
    } else if (SameNoCase(key, "ReverseViews")) {
        script->reverse_views = ParseTruthValue(value);
        script->has_reverse_views = true;
    } else if (SameNoCase(key, "HueChange")) {
        CollectionHueChange hue;
        if (ParseHueChangeLine(value, &hue)) script->hue_changes.push_back(hue);
    }
}

}  // namespace

bool ParseTruthValue(const std::string& value) {
    for (const char* truth : {"1", "T", "True", "Y", "Yes"})
        if (SameNoCase(value, truth)) return true;
    return false;
}

std::vector<i32> ParseFrameList(const std::string& text) {
    std::vector<i32> list;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == ')') break;
        if (c == '~') {
            list.push_back(kEmptyFrame);
            ++i;
        } else if (IsDigit(c) || (c == '-' && i + 1 < text.size() && IsDigit(text[i + 1]))) {
            const bool negative = c == '-';
            if (negative) ++i;
            const i64 number = ReadDigits(text, &i);
            const i64 frame = (negative ? -number : number) - 1;
            list.push_back(frame < 0 ? kEmptyFrame : static_cast<i32>(frame));
        } else {
            ++i;
        }
    }
    return list;
}

bool ParseHueChangeLine(const std::string& value, CollectionHueChange* hue) {
    std::memset(hue, 0, sizeof *hue);
    size_t i = 0;
    while (i < value.size() && IsBlank(value[i])) ++i;
    if (i < value.size() && value[i] == '"') {
        const size_t close = value.find('"', i + 1);
        const size_t end = close == std::string::npos ? value.size() : close;
        SetElementName(hue->name, value.substr(i + 1, end - i - 1).c_str());
        i = close == std::string::npos ? value.size() : close + 1;
    }
    i64 numbers[4] = {};
    for (i64& number : numbers)
        if (!ReadInteger(value, &i, &number)) return false;
    hue->start_hue = DegreesToHue(numbers[0]);
    hue->median_hue = DegreesToHue(numbers[1]);
    hue->end_hue = DegreesToHue(numbers[2]);
    hue->minimum_saturation = PercentToSaturation(numbers[3]);
    return true;
}

void ParseBuildScript(const std::string& text, BuildScript* script) {
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = begin;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        ApplyLine(text.substr(begin, end - begin), script);
        begin = end + 1;
    }
}

bool ReadBuildScript(const std::string& folder, BuildScript* script) {
    const std::string path = EnsureTrailingSlash(folder) + "script.txt";
    if (!PathExists(path, kPathIsFile)) return false;
    std::string text;
    if (!ReadFileText(path, &text)) return false;
    ParseBuildScript(text, script);
    return true;
}

}  // namespace pirn
