#include "editors/xml_attribute.h"

#include <tinyxml2.h>

namespace pirn {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

bool ParseDecimalInteger(const char* text, i64 min, i64 max, i64* value) {
    if (!text) return false;
    const char* p = text;
    while (IsSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return false;
    // Accumulated as a magnitude up to a bound past every range asked for,
    // so long digit runs cannot overflow.
    constexpr u64 kCeiling = u64{1} << 62;
    u64 magnitude = 0;
    while (*p >= '0' && *p <= '9') {
        magnitude = magnitude * 10 + static_cast<u64>(*p++ - '0');
        if (magnitude > kCeiling) return false;
    }
    while (IsSpace(*p)) ++p;
    if (*p != '\0') return false;
    const i64 v = negative ? -static_cast<i64>(magnitude) : static_cast<i64>(magnitude);
    if (v < min || v > max) return false;
    *value = v;
    return true;
}

XmlNumber QueryXmlInteger(const tinyxml2::XMLElement& element, const char* name, i64 min, i64 max, i64* value) {
    const char* text = element.Attribute(name);
    if (!text) return XmlNumber::Absent;
    return ParseDecimalInteger(text, min, max, value) ? XmlNumber::Valid : XmlNumber::Invalid;
}

std::string XmlAttributeText(const tinyxml2::XMLElement& element, const char* name) {
    const char* text = element.Attribute(name);
    return text ? std::string(text) : std::string();
}

}  // namespace pirn
