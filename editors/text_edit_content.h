#pragma once
// The data of text tags ('ditl', 'scri', 'stli', 'temp', 'text') and the text
// the text editor shows for it. Plain texts show their bytes up to the first
// NUL, with CR, LF and CR LF each one line break; whatever follows the NUL is
// carried and written back after the text. String lists show one line per
// non-empty string (strings end at NUL, LF or CR). Edited text is written
// with CR line ends; an unedited tag is written back byte for byte.

#include <string>
#include <string_view>

#include "platform/types.h"

namespace pirn {

enum class TextTagKind { PlainText, StringList };

// String lists for 'stli' and 'temp', plain text for every other group.
TextTagKind TextTagKindOf(u32 group);

struct ShownText {
    std::string text;     // lines joined with '\n'
    std::string carried;  // a plain text's bytes from its first NUL on
};

ShownText TextTagToShown(TextTagKind kind, std::string_view data);
// The data for the text as the editor holds it: every '\n' becomes CR and
// the carried bytes follow.
std::string ShownToTextTag(std::string_view text, std::string_view carried);

}  // namespace pirn
