#pragma once
// Strict reading of numeric attributes of definition files. tinyxml2's own
// queries accept "12abc" as 12 and read "0x10" as hex; a definition whose
// number is not plainly a number is refused instead.

#include <string>

#include "platform/types.h"

namespace tinyxml2 {
class XMLElement;
}

namespace pirn {

// Optional spaces, an optional sign, decimal digits, optional spaces; the
// value must lie in min..max. False for anything else (text kept out of value).
bool ParseDecimalInteger(const char* text, i64 min, i64 max, i64* value);

enum class XmlNumber { Absent, Valid, Invalid };

// Reads an attribute as a decimal integer in min..max. Absent leaves value
// as it was.
XmlNumber QueryXmlInteger(const tinyxml2::XMLElement& element, const char* name, i64 min, i64 max, i64* value);

// The attribute's text, or "" when absent.
std::string XmlAttributeText(const tinyxml2::XMLElement& element, const char* name);

}  // namespace pirn
