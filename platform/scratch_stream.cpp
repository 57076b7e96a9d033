#include "platform/scratch_stream.h"

#include <cstdlib>
#include <limits>

#ifdef _WIN32
#include <windows.h>

#include "platform/windows_files.h"
#endif

#include "platform/image_stream.h"

namespace pirn {

std::FILE* OpenScratchFile() {
#ifdef _WIN32
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return nullptr;
    if (GetTempFileNameW(folder, L"prn", 0, name) == 0) return nullptr;
    // 'D': deleted when closed; 'T': kept in the cache if it can be.
    std::FILE* stream = _wfopen(name, L"w+bTD");
    if (stream == nullptr) DeleteFileW(name);
    return stream;
#else
    return std::tmpfile();
#endif
}

std::FILE* OpenBytesForReading(const u8* bytes, size_t size) {
    if (bytes == nullptr || size == 0) return nullptr;
#ifdef _WIN32
    std::FILE* stream = OpenScratchFile();
    if (stream == nullptr) return nullptr;
    if (std::fwrite(bytes, 1, size, stream) != size || !SeekStream(stream, 0)) {
        std::fclose(stream);
        return nullptr;
    }
    return stream;
#else
    return fmemopen(const_cast<u8*>(bytes), size, "rb");
#endif
}

bool CaptureWrittenBytesInScratchFile(const std::function<bool(std::FILE*)>& write, std::vector<u8>* bytes) {
    std::FILE* stream = OpenScratchFile();
    if (stream == nullptr) return false;
    bool ok = write(stream) && std::fflush(stream) == 0;
    u64 size = 0;
    ok = ok && StreamSize(stream, &size) && size <= std::numeric_limits<size_t>::max() && SeekStream(stream, 0);
    if (ok) {
        bytes->resize(static_cast<size_t>(size));
        ok = ReadExact(stream, bytes->data(), bytes->size());
    }
    std::fclose(stream);
    return ok;
}

bool CaptureWrittenBytes(const std::function<bool(std::FILE*)>& write, std::vector<u8>* bytes) {
#ifdef _WIN32
    return CaptureWrittenBytesInScratchFile(write, bytes);
#else
    char* buffer = nullptr;
    size_t length = 0;
    std::FILE* stream = open_memstream(&buffer, &length);
    if (stream == nullptr) return false;
    const bool written = write(stream);
    const bool closed = std::fclose(stream) == 0;
    const bool ok = written && closed && buffer != nullptr;
    if (ok) bytes->assign(buffer, buffer + length);
    std::free(buffer);
    return ok;
#endif
}

}  // namespace pirn
