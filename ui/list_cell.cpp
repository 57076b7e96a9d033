// Typed list cells: reading, printing, comparing and writing back fields of
// the owner's records.

#include "ui/list_cell.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pirn {

namespace {

const u8* Field(const ListColumn& c, const void* record) {
    return static_cast<const u8*>(record) + c.fieldOffset;
}

bool IsSigned(const ListColumn& c) { return (c.flags & ListColumn::kSigned) != 0; }

// An integer field of 1, 2 or 4 bytes in the machine's own order (the memory
// form of records), widened to 64 bits with or without its sign.
i64 ReadInteger(const ListColumn& c, const void* record, bool isSigned) {
    const u8* p = Field(c, record);
    switch (c.fieldSize) {
        case 1: {
            u8 v;
            std::memcpy(&v, p, 1);
            return isSigned ? static_cast<i64>(static_cast<i8>(v)) : static_cast<i64>(v);
        }
        case 2: {
            u16 v;
            std::memcpy(&v, p, 2);
            return isSigned ? static_cast<i64>(static_cast<i16>(v)) : static_cast<i64>(v);
        }
        case 4: {
            u32 v;
            std::memcpy(&v, p, 4);
            return isSigned ? static_cast<i64>(static_cast<i32>(v)) : static_cast<i64>(v);
        }
        default:
            return 0;
    }
}

bool WriteInteger(const ListColumn& c, void* record, i64 value) {
    u8* p = static_cast<u8*>(record) + c.fieldOffset;
    switch (c.fieldSize) {
        case 1: {
            const u8 v = static_cast<u8>(value);
            std::memcpy(p, &v, 1);
            return true;
        }
        case 2: {
            const u16 v = static_cast<u16>(value);
            std::memcpy(p, &v, 2);
            return true;
        }
        case 4: {
            const u32 v = static_cast<u32>(value);
            std::memcpy(p, &v, 4);
            return true;
        }
        default:
            return false;
    }
}

// The values an integer field of that size and signedness holds.
bool FitsField(i64 value, u32 size, bool isSigned) {
    if (size != 1 && size != 2 && size != 4) return false;
    const int bits = static_cast<int>(size) * 8;
    if (isSigned) {
        const i64 lo = -(i64(1) << (bits - 1));
        const i64 hi = (i64(1) << (bits - 1)) - 1;
        return value >= lo && value <= hi;
    }
    return value >= 0 && value <= (i64(1) << bits) - 1;
}

double ReadReal(const ListColumn& c, const void* record) {
    const u8* p = Field(c, record);
    if (c.fieldSize == 4) {
        float f;
        std::memcpy(&f, p, 4);
        return f;
    }
    if (c.fieldSize == 8) {
        double d;
        std::memcpy(&d, p, 8);
        return d;
    }
    return 0.0;
}

// The text of string-like fields; never reads past a character array.
std::string ReadText(const ListColumn& c, const void* record) {
    const u8* p = Field(c, record);
    switch (c.type) {
        case kColumnFourCC: {
            const u32 v = static_cast<u32>(ReadInteger(c, record, false));
            std::string s;
            for (int shift = 24; shift >= 0; shift -= 8) {
                const char ch = static_cast<char>((v >> shift) & 0xFF);
                if (ch == 0) break;
                s.push_back(ch);
            }
            return s;
        }
        case kColumnCharArray: {
            const char* text = reinterpret_cast<const char*>(p);
            return std::string(text, strnlen(text, c.fieldSize));
        }
        case kColumnStringPtr: {
            const char* text = nullptr;
            std::memcpy(&text, p, sizeof text);
            return text ? std::string(text) : std::string();
        }
        case kColumnString:
            return *reinterpret_cast<const std::string*>(p);
        default:
            return std::string();
    }
}

const char* DefaultFormat(const ListColumn& c) {
    switch (c.type) {
        case kColumnInteger:
            return IsSigned(c) ? "%d" : "%u";
        case kColumnReal:
        case kColumnFixed:
            return "%g";
        default:
            return "%s";
    }
}

char ConversionClass(char conv) {
    switch (conv) {
        case 's':
            return 's';
        case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': case 'c':
            return 'd';
        case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
            return 'f';
        default:
            return 0;
    }
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <typename T>
size_t PrintInto(char* buffer, const char* format, T value) {
    const int n = std::snprintf(buffer, kCellTextLimit + 1, format, value);
    if (n < 0) {
        buffer[0] = 0;
        return 0;
    }
    return std::min<size_t>(static_cast<size_t>(n), kCellTextLimit);
}
#pragma GCC diagnostic pop

// The text of a string-like field straight into the buffer.
size_t CopyText(char* buffer, const char* text, size_t length) {
    length = std::min(length, kCellTextLimit);
    std::memcpy(buffer, text, length);
    buffer[length] = 0;
    return length;
}

bool ParseWholeInteger(const std::string& text, i64* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno == ERANGE || end == text.c_str() || *end != 0) return false;
    *out = static_cast<i64>(v);
    return true;
}

bool ParseWholeReal(const std::string& text, double* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != 0 || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

}  // namespace

bool CellFormatFits(const char* format, u32 type) {
    if (!format) return false;
    char wanted = 0;
    switch (type) {
        case kColumnFourCC: case kColumnCharArray: case kColumnStringPtr: case kColumnString:
            wanted = 's';
            break;
        case kColumnInteger:
            wanted = 'd';
            break;
        case kColumnReal: case kColumnFixed:
            wanted = 'f';
            break;
        default:
            return false;
    }
    int conversions = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p && std::strchr("-+ #0'", *p)) ++p;
        while (*p >= '0' && *p <= '9') ++p;
        if (*p == '.') {
            ++p;
            while (*p >= '0' && *p <= '9') ++p;
        }
        if (!*p || ConversionClass(*p) != wanted) return false;
        ++conversions;
    }
    return conversions == 1;
}

size_t FormatCellInto(const ListColumn& c, const void* record, char* buffer) {
    buffer[0] = 0;
    if (!record || c.type == kColumnNone || c.type > kColumnFixed) return 0;
    const bool plain = c.format.empty() || c.format == "%s";
    const char* format = c.format.empty() || !CellFormatFits(c.format.c_str(), c.type) ? DefaultFormat(c)
                                                                                        : c.format.c_str();
    switch (c.type) {
        case kColumnInteger: {
            const i64 v = ReadInteger(c, record, IsSigned(c));
            return PrintInto(buffer, format, static_cast<int>(static_cast<u32>(v)));
        }
        case kColumnReal:
            return PrintInto(buffer, format, ReadReal(c, record));
        case kColumnFixed:
            return PrintInto(buffer, format, static_cast<double>(ReadInteger(c, record, IsSigned(c))) / 65536.0);
        case kColumnCharArray:
            // Type-ahead formats a cell per row: plain strings skip printf.
            if (plain) {
                const char* text = reinterpret_cast<const char*>(Field(c, record));
                return CopyText(buffer, text, strnlen(text, c.fieldSize));
            }
            return PrintInto(buffer, format, ReadText(c, record).c_str());
        case kColumnString:
            if (plain) {
                const std::string& text = *reinterpret_cast<const std::string*>(Field(c, record));
                return CopyText(buffer, text.data(), text.size());
            }
            return PrintInto(buffer, format, ReadText(c, record).c_str());
        default:
            return PrintInto(buffer, format, ReadText(c, record).c_str());
    }
}

std::string FormatCell(const ListColumn& c, const void* record) {
    char buffer[kCellTextLimit + 1];
    const size_t n = FormatCellInto(c, record, buffer);
    return std::string(buffer, n);
}

int CompareCells(const ListColumn& c, const void* a, const void* b) {
    switch (c.type) {
        case kColumnFourCC: {
            const i64 x = ReadInteger(c, a, false), y = ReadInteger(c, b, false);
            return (x > y) - (x < y);
        }
        // Strings compare in place: sorting must not copy a cell per
        // comparison.
        case kColumnCharArray: {
            const int r = std::strncmp(reinterpret_cast<const char*>(Field(c, a)),
                                       reinterpret_cast<const char*>(Field(c, b)), c.fieldSize);
            return (r > 0) - (r < 0);
        }
        case kColumnStringPtr: {
            const char* x = nullptr;
            const char* y = nullptr;
            std::memcpy(&x, Field(c, a), sizeof x);
            std::memcpy(&y, Field(c, b), sizeof y);
            const int r = std::strcmp(x ? x : "", y ? y : "");
            return (r > 0) - (r < 0);
        }
        case kColumnString: {
            const int r = reinterpret_cast<const std::string*>(Field(c, a))
                              ->compare(*reinterpret_cast<const std::string*>(Field(c, b)));
            return (r > 0) - (r < 0);
        }
        case kColumnInteger:
        case kColumnFixed: {
            const i64 x = ReadInteger(c, a, IsSigned(c)), y = ReadInteger(c, b, IsSigned(c));
            return (x > y) - (x < y);
        }
        case kColumnReal: {
            const double x = ReadReal(c, a), y = ReadReal(c, b);
            return (x > y) - (x < y);
        }
        default:
            return 0;
    }
}

u64 CellSortKey(const ListColumn& c, const void* record) {
    u64 key = 0;
    auto packBytes = [&key](const char* text, size_t length) {
        // The first eight bytes, most significant first: byte order is the
        // order of strcmp and std::string.
        for (size_t i = 0; i < 8; ++i) key = key << 8 | (i < length ? static_cast<u8>(text[i]) : 0u);
    };
    switch (c.type) {
        case kColumnFourCC:
            key = static_cast<u64>(ReadInteger(c, record, false));
            break;
        case kColumnCharArray: {
            const char* text = reinterpret_cast<const char*>(Field(c, record));
            packBytes(text, strnlen(text, std::min<size_t>(c.fieldSize, 8)));
            break;
        }
        case kColumnStringPtr: {
            const char* text = nullptr;
            std::memcpy(&text, Field(c, record), sizeof text);
            if (text) packBytes(text, strnlen(text, 8));
            break;
        }
        case kColumnString: {
            const std::string& text = *reinterpret_cast<const std::string*>(Field(c, record));
            packBytes(text.data(), text.size());
            break;
        }
        case kColumnInteger:
        case kColumnFixed: {
            const i64 v = ReadInteger(c, record, IsSigned(c));
            key = static_cast<u64>(v) ^ (u64(1) << 63);  // signed order as unsigned
            break;
        }
        default:
            return 0;
    }
    return (c.flags & ListColumn::kDescending) ? ~key : key;
}

CellWriteResult WriteCell(const ListColumn& c, void* record, const std::string& text) {
    if (!record) return kCellRefused;
    u8* p = static_cast<u8*>(record) + c.fieldOffset;
    switch (c.type) {
        case kColumnFourCC: {
            if (text.size() != 4) return kCellRefused;
            u32 v = 0;
            for (char ch : text) v = v << 8 | static_cast<u8>(ch);
            if (!FitsField(static_cast<i64>(v), c.fieldSize, false)) return kCellRefused;
            return WriteInteger(c, record, v) ? kCellWritten : kCellRefused;
        }
        case kColumnCharArray: {
            if (c.fieldSize == 0 || text.size() > c.fieldSize - 1) return kCellRefused;
            std::memset(p, 0, c.fieldSize);
            std::memcpy(p, text.data(), text.size());
            return kCellWritten;
        }
        case kColumnString:
            *reinterpret_cast<std::string*>(p) = text;
            return kCellWritten;
        case kColumnInteger: {
            i64 v = 0;
            if (!ParseWholeInteger(text, &v) || !FitsField(v, c.fieldSize, IsSigned(c))) return kCellRefused;
            return WriteInteger(c, record, v) ? kCellWritten : kCellRefused;
        }
        case kColumnReal: {
            double v = 0;
            if (!ParseWholeReal(text, &v)) return kCellRefused;
            if (c.fieldSize == 4) {
                if (std::fabs(v) > FLT_MAX) return kCellRefused;
                const float f = static_cast<float>(v);
                std::memcpy(p, &f, 4);
                return kCellWritten;
            }
            if (c.fieldSize == 8) {
                std::memcpy(p, &v, 8);
                return kCellWritten;
            }
            return kCellRefused;
        }
        case kColumnFixed: {
            double v = 0;
            if (!ParseWholeReal(text, &v)) return kCellRefused;
            const double scaled = std::round(v * 65536.0);
            if (!(std::fabs(scaled) < 9.0e15)) return kCellRefused;
            const i64 fixed = static_cast<i64>(scaled);
            if (!FitsField(fixed, c.fieldSize, IsSigned(c))) return kCellRefused;
            return WriteInteger(c, record, fixed) ? kCellWritten : kCellRefused;
        }
        default:
            return kCellRefused;
    }
}

i32 CellEditLength(const ListColumn& c) {
    switch (c.type) {
        case kColumnFourCC:
            return 4;
        case kColumnCharArray:
            return c.fieldSize > 0 ? static_cast<i32>(c.fieldSize - 1) : 0;
        case kColumnString:
        case kColumnStringPtr:  // only ever edited for an owner's callback, which takes any text
            return 256;
        case kColumnInteger:
            return 11;
        case kColumnReal:
        case kColumnFixed:
            return 16;
        default:
            return 0;
    }
}

}  // namespace pirn
