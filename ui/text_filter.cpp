// Input filter and number formats of text boxes.

#include "ui/text_filter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace pirn {

namespace {
// More decimals than a float can carry in any case: its exact binary
// expansion down to 2^-100 is already below anything typed into a field.
constexpr i32 kMaxDecimals = 100;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

bool FilterTextInput(int mode, std::string_view text, i64 lengthAfterRemoval, i64 maxLength) {
    if (mode == kInputAny) return true;
    i64 taken = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || c == '\r' || c == '\t') return false;
        if (mode == kInputInteger && !IsDigit(c) && !(c == '-' && i == 0)) return false;
        if (mode == kInputReal && !IsDigit(c) && c != '-' && c != '.') return false;
        ++taken;
        if (lengthAfterRemoval + taken > maxLength) return false;
    }
    return true;
}

std::string FormatRealForField(float value, i32 maxLength) {
    const double v = value;
    if (!std::isfinite(v)) {
        const char* text = std::isnan(v) ? "nan" : (v < 0 ? "-inf" : "inf");
        return static_cast<i32>(std::strlen(text)) <= maxLength ? text : "invalid ???";
    }
    // A float's integer part has at most 39 digits, plus sign.
    char buf[64 + kMaxDecimals];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 0);
    const i64 d = r.ptr - buf;
    const i64 decimals = static_cast<i64>(maxLength) - d - 2;
    if (decimals < 0) return "invalid ???";
    r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed,
                      static_cast<int>(std::min<i64>(decimals, kMaxDecimals)));
    std::string text(buf, r.ptr);
    // Zeros go only behind a decimal point, and one digit stays after it:
    // 100000 keeps its zeros, 2.500 becomes 2.5 and 3.000 becomes 3.0.
    const size_t point = text.find('.');
    if (point != std::string::npos) {
        size_t end = text.size();
        while (end > point + 2 && text[end - 1] == '0') --end;
        text.resize(end);
    }
    return text;
}

bool ReadsAsZeroInNumberField(int mode, std::string_view text) {
    return text.empty() || text == "-" || (mode == kInputReal && text == ".");
}

bool ParseIntegerField(std::string_view text, i32* out) {
    if (ReadsAsZeroInNumberField(kInputInteger, text)) {
        *out = 0;
        return true;
    }
    i32 value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return false;
    *out = value;
    return true;
}

bool ParseRealField(std::string_view text, float* out) {
    if (ReadsAsZeroInNumberField(kInputReal, text)) {
        *out = 0.0f;
        return true;
    }
    float value = 0.0f;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return false;
    *out = value;
    return true;
}

}  // namespace pirn
