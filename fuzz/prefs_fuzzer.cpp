// "res/prefs.txt": whatever the file holds, the lines that are read come
// back exactly after the store is written and read again, and reading from
// the file gives the same store as reading its text.

#include <cmath>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/pref_store.h"

namespace {

bool SameValue(const pirn::PrefValue& a, const pirn::PrefValue& b) {
    if (a.type != b.type) return false;
    switch (a.type) {
    case pirn::kPrefInteger: return a.integer == b.integer;
    case pirn::kPrefReal: return std::memcmp(&a.real, &b.real, sizeof(double)) == 0 ||
                                 (std::isnan(a.real) && std::isnan(b.real));
    default: return a.text == b.text;
    }
}

// The written store reads back as it was, apart from entries with an empty
// key, which cannot be written.
bool SameWrittenEntries(const pirn::PrefStore& written, const pirn::PrefStore& read) {
    size_t compared = 0;
    for (const auto& [key, value] : written.values()) {
        if (key.empty()) continue;
        auto found = read.values().find(key);
        if (found == read.values().end() || !SameValue(value, found->second)) return false;
        ++compared;
    }
    return compared == read.values().size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    pirn::PrefStore store;
    store.Parse(text);

    const std::string written = store.Serialize();
    pirn::PrefStore again;
    FUZZ_CHECK(again.Parse(written));
    FUZZ_CHECK(SameWrittenEntries(store, again));
    FUZZ_CHECK(again.Serialize() == written);

    pirn::PrefStore from_file;
    from_file.Read(pirn_fuzz::WriteScratchFile("prefs.txt", data, size));
    FUZZ_CHECK(from_file.Serialize() == written);

    std::vector<std::string> list;
    for (const auto& [key, value] : store.values()) {
        list.clear();
        store.GetStringList(key, list);
        double real = 0;
        pirn::i32 integer = 0;
        store.GetDouble(key, &real);
        store.GetInt(key, &integer);
    }
    return 0;
}
