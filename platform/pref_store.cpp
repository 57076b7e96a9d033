#include "platform/pref_store.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/file_system.h"

namespace pirn {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

void AppendHexEscape(std::string& out, unsigned char c) {
    out += "\\x";
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 15];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Keys end at the first white space when read, so white space, control
// bytes, bytes above 126 and the backslash itself are written as \xHH.
std::string EscapeKey(const std::string& key) {
    std::string out;
    for (char ch : key) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c <= 32 || c >= 127 || c == '\\') {
            AppendHexEscape(out, c);
        } else {
            out += ch;
        }
    }
    return out;
}

// Decodes \xHH; any other backslash is taken as it stands.
std::string UnescapeKey(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            HexValue(text[i + 2]) >= 0 && HexValue(text[i + 3]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string QuoteString(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '"') {
            out += "\\\"";
        } else if (c < 32 || c > 126) {
            AppendHexEscape(out, c);
        } else {
            out += ch;
        }
    }
    out += '"';
    return out;
}

// The escaped form: \\, \" and \xHH; other backslashes stand for themselves.
// The closing quote must end the value.
bool UnquoteEscaped(const std::string& value, std::string* text) {
    if (value.size() < 2 || value[0] != '"') return false;
    std::string out;
    size_t i = 1;
    while (i < value.size()) {
        unsigned char c = static_cast<unsigned char>(value[i]);
        if (c == '"') {
            if (i + 1 != value.size()) return false;
            *text = out;
            return true;
        }
        if (c < 32 || c == 127) return false;
        if (c == '\\' && i + 1 < value.size()) {
            char next = value[i + 1];
            if (next == '\\' || next == '"') {
                out += next;
                i += 2;
                continue;
            }
            if (next == 'x' && i + 3 < value.size() && HexValue(value[i + 2]) >= 0 &&
                HexValue(value[i + 3]) >= 0) {
                out += static_cast<char>(HexValue(value[i + 2]) * 16 + HexValue(value[i + 3]));
                i += 4;
                continue;
            }
        }
        out += static_cast<char>(c);
        ++i;
    }
    return false;  // no closing quote
}

// The unescaped form of earlier files: printable characters, no quote
// inside, so a Windows path ending in '\' still reads.
bool UnquotePlain(const std::string& value, std::string* text) {
    if (value.size() < 2 || value[0] != '"' || value.back() != '"') return false;
    for (size_t i = 1; i + 1 < value.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(value[i]);
        if (c < 32 || c > 126 || c == '"') return false;
    }
    *text = value.substr(1, value.size() - 2);
    return true;
}

bool IsSpaceByte(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// "%d" skips leading white space, takes a sign and digits; the line must
// end right after them. Values outside 32 bits are left to the real form.
bool ParseInteger(const std::string& value, i32* out) {
    size_t i = 0;
    while (i < value.size() && IsSpaceByte(value[i])) ++i;
    size_t start = i;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) ++i;
    size_t digits = i;
    while (i < value.size() && value[i] >= '0' && value[i] <= '9') ++i;
    if (i == digits || i != value.size()) return false;
    errno = 0;
    long long n = std::strtoll(value.c_str() + start, nullptr, 10);
    if (errno == ERANGE || n < std::numeric_limits<i32>::min() ||
        n > std::numeric_limits<i32>::max()) {
        return false;
    }
    *out = static_cast<i32>(n);
    return true;
}

bool ParseReal(const std::string& value, double* out) {
    if (value.empty()) return false;
    const char* begin = value.c_str();
    char* end = nullptr;
    double n = std::strtod(begin, &end);
    if (end == begin || static_cast<size_t>(end - begin) != value.size()) return false;
    *out = n;
    return true;
}

std::string FormatReal(double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.6f", value);
    double back = std::strtod(buffer, nullptr);
    bool exact = std::memcmp(&back, &value, sizeof value) == 0;
    if (!exact && !std::isnan(value)) {
        // Enough digits to give the same value back; it holds a '.' or an
        // exponent, so it cannot read back as an integer.
        std::snprintf(buffer, sizeof buffer, "%.17g", value);
    }
    return buffer;
}

// One line, without its line end. False when it is malformed.
bool ParseLine(const std::string& line, std::map<std::string, PrefValue>& values) {
    size_t key_end = 0;
    while (key_end < line.size() && !IsSpaceByte(line[key_end])) ++key_end;
    if (key_end == 0 || key_end == line.size() || line[key_end] != ' ') return false;
    std::string key = UnescapeKey(line.substr(0, key_end));
    std::string value = line.substr(key_end + 1);

    PrefValue parsed;
    if (ParseInteger(value, &parsed.integer)) {
        parsed.type = kPrefInteger;
    } else if (ParseReal(value, &parsed.real)) {
        parsed.type = kPrefReal;
    } else if (UnquoteEscaped(value, &parsed.text) || UnquotePlain(value, &parsed.text)) {
        parsed.type = kPrefString;
    } else {
        return false;
    }
    values[key] = std::move(parsed);
    return true;
}

std::string& PrefsPathStorage() {
    static std::string path = "res/prefs.txt";
    return path;
}

}  // namespace

bool PrefStore::GetInt(const std::string& key, i32* value) const {
    auto found = values_.find(key);
    if (found == values_.end() || found->second.type != kPrefInteger) return false;
    *value = found->second.integer;
    return true;
}

bool PrefStore::GetDouble(const std::string& key, double* value) const {
    auto found = values_.find(key);
    if (found == values_.end()) return false;
    if (found->second.type == kPrefReal) {
        *value = found->second.real;
        return true;
    }
    if (found->second.type == kPrefInteger) {
        *value = found->second.integer;
        return true;
    }
    return false;
}

bool PrefStore::GetString(const std::string& key, std::string* value) const {
    auto found = values_.find(key);
    if (found == values_.end() || found->second.type != kPrefString) return false;
    *value = found->second.text;
    return true;
}

bool PrefStore::GetStringList(const std::string& key, std::vector<std::string>& values) const {
    std::string text;
    if (!GetString(key, &text)) return false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(';', start);
        // A text without its final ';' (written by hand) keeps its last element.
        if (end == std::string::npos) end = text.size();
        values.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return !values.empty();
}

void PrefStore::SetInt(const std::string& key, i32 value) {
    PrefValue& slot = values_[key];
    slot = PrefValue();
    slot.type = kPrefInteger;
    slot.integer = value;
}

void PrefStore::SetDouble(const std::string& key, double value) {
    PrefValue& slot = values_[key];
    slot = PrefValue();
    slot.type = kPrefReal;
    slot.real = value;
}

void PrefStore::SetString(const std::string& key, const std::string& value) {
    PrefValue& slot = values_[key];
    slot = PrefValue();
    slot.type = kPrefString;
    slot.text = value;
}

void PrefStore::SetStringList(const std::string& key, const std::vector<std::string>& values) {
    std::string joined;
    for (const std::string& value : values) {
        joined += value;
        joined += ';';
    }
    SetString(key, joined);
}

bool PrefStore::Parse(const std::string& text) {
    bool all_good = true;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        size_t next;
        if (end == std::string::npos) {
            end = text.size();  // a last line without a line end still counts
            next = end;
        } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            next = end + 2;
        } else {
            next = end + 1;
        }
        std::string line = text.substr(start, end - start);
        // Blank lines are skipped: ending the reading there would drop every
        // later entry at the next write.
        if (!line.empty() && !ParseLine(line, values_)) all_good = false;
        start = next;
    }
    return all_good;
}

std::string PrefStore::Serialize() const {
    std::string out;
    for (const auto& entry : values_) {
        if (entry.first.empty()) continue;
        out += EscapeKey(entry.first);
        out += ' ';
        const PrefValue& value = entry.second;
        if (value.type == kPrefInteger) {
            out += std::to_string(value.integer);
        } else if (value.type == kPrefReal) {
            out += FormatReal(value.real);
        } else {
            out += QuoteString(value.text);
        }
        out += '\n';
    }
    return out;
}

bool PrefStore::Read(const std::string& path) {
    std::string text;
    if (!ReadFileText(path, &text)) return false;
    return Parse(text);
}

bool PrefStore::Write(const std::string& path) const {
    return WriteFileSafely(path, Serialize());
}

PrefStore& Prefs() {
    static PrefStore store;
    return store;
}

const std::string& PrefsPath() { return PrefsPathStorage(); }
void SetPrefsPath(const std::string& path) { PrefsPathStorage() = path; }

bool ReadPrefs() {
    // Start-up opens the folder: what an interrupted save left there goes.
    std::string folder;
    SplitPath(PrefsPath(), &folder, nullptr, nullptr);
    RemoveStaleSafeSaveFiles(folder.empty() ? std::string(".") : folder);
    return Prefs().Read(PrefsPath());
}
bool WritePrefs() { return Prefs().Write(PrefsPath()); }
bool GetPrefInt(const std::string& key, i32* value) { return Prefs().GetInt(key, value); }
bool GetPrefDouble(const std::string& key, double* value) { return Prefs().GetDouble(key, value); }
bool GetPrefString(const std::string& key, std::string* value) {
    return Prefs().GetString(key, value);
}
bool GetPrefStringList(const std::string& key, std::vector<std::string>& values) {
    return Prefs().GetStringList(key, values);
}
void SetPrefInt(const std::string& key, i32 value) { Prefs().SetInt(key, value); }
void SetPrefDouble(const std::string& key, double value) { Prefs().SetDouble(key, value); }
void SetPrefString(const std::string& key, const std::string& value) {
    Prefs().SetString(key, value);
}
void SetPrefStringList(const std::string& key, const std::vector<std::string>& values) {
    Prefs().SetStringList(key, values);
}

}  // namespace pirn
