#include "ui/resource_file.h"

#include <cstdio>

namespace pirn {

bool ReadResourceFile(const std::string& path, std::vector<u8>& bytes, std::string* error) {
    bytes.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    u8 buffer[65536];
    bool ok = true;
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, f);
        if (n == 0) break;
        if (bytes.size() + n > kMaxResourceFileSize) {
            if (error) *error = path + " is too large";
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (ok && std::ferror(f)) {
        if (error) *error = "cannot read " + path;
        ok = false;
    }
    std::fclose(f);
    if (!ok) bytes.clear();
    return ok;
}

}  // namespace pirn
