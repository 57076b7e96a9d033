// Text tags ('text', 'ditl', 'scri' as plain text; 'stli', 'temp' as string
// lists) as the text editor reads them: the input's first byte picks the
// kind (even: plain text, odd: string list), the rest is the tag's data.
// The text shown holds no CR and no NUL; a string list shows only non-empty
// lines; what is written for the text shown reads back to the same text,
// and writing that again gives the same bytes.

#include <string>
#include <string_view>

#include "editors/text_edit_content.h"
#include "fuzz/fuzz_support.h"

namespace {

void CheckPlainText(std::string_view data) {
    const pirn::ShownText shown = pirn::TextTagToShown(pirn::TextTagKind::PlainText, data);
    FUZZ_CHECK(shown.text.find('\r') == std::string::npos && shown.text.find('\0') == std::string::npos);
    FUZZ_CHECK(shown.carried.empty() || shown.carried[0] == '\0');
    FUZZ_CHECK(shown.text.size() + shown.carried.size() <= data.size());
    // Nothing after the first NUL is lost.
    FUZZ_CHECK(data.size() >= shown.carried.size() &&
               data.substr(data.size() - shown.carried.size()) == shown.carried);

    const std::string written = pirn::ShownToTextTag(shown.text, shown.carried);
    const pirn::ShownText again = pirn::TextTagToShown(pirn::TextTagKind::PlainText, written);
    FUZZ_CHECK(again.text == shown.text && again.carried == shown.carried);
    FUZZ_CHECK(pirn::ShownToTextTag(again.text, again.carried) == written);
}

void CheckStringList(std::string_view data) {
    const pirn::ShownText shown = pirn::TextTagToShown(pirn::TextTagKind::StringList, data);
    FUZZ_CHECK(shown.carried.empty());
    FUZZ_CHECK(shown.text.find('\r') == std::string::npos && shown.text.find('\0') == std::string::npos);
    FUZZ_CHECK(shown.text.empty() || shown.text.back() == '\n');
    FUZZ_CHECK(shown.text.find("\n\n") == std::string::npos && (shown.text.empty() || shown.text[0] != '\n'));
    FUZZ_CHECK(shown.text.size() <= data.size() + 1);

    const std::string written = pirn::ShownToTextTag(shown.text, "");
    const pirn::ShownText again = pirn::TextTagToShown(pirn::TextTagKind::StringList, written);
    FUZZ_CHECK(again.text == shown.text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view tag_data(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0)
        CheckPlainText(tag_data);
    else
        CheckStringList(tag_data);
    return 0;
}
