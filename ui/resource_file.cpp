#include "ui/resource_file.h"

#include <cstdio>

#include "platform/file_ops.h"

namespace pirn {

bool ReadResourceFile(const std::string& path, std::vector<u8>& bytes, std::string* error) {
    bytes.clear();
    std::FILE* f = OpenFileStream(path, "rb");
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
    CloseFileStream(f);
    if (!ok) bytes.clear();
    return ok;
}

}  // namespace pirn
