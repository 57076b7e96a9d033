#include "platform/image_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <strings.h>

#include "platform/bmp_codec.h"
#include "platform/file_ops.h"
#include "platform/image_stream.h"
#include "platform/png_codec.h"
#include "platform/scratch_stream.h"
#include "platform/tiff_codec.h"

namespace pirn {
namespace {

constexpr size_t kIdentifyBytes = 128;
// How far blank and comment lines may push the first word of a text 3DMF
// file: far enough for any real header comment, short of reading a whole
// large file that is something else.
constexpr u64 kMax3dmfLeadBytes = 64 * 1024;

HeaderRecogniser g_tag_recogniser = nullptr;
HeaderRecogniser g_archive_recogniser = nullptr;

bool Accepts(const ImageFile& file, u32 kind, u32 type) {
    return (file.kind == kKindUnknown || file.kind == kind) && (file.type == kTypeUnknown || file.type == type);
}

bool IsWritableFormat(u32 format) {
    return format == kFormatColorIndex || format == kFormatAlpha || format == kFormatRgb || format == kFormatRgba;
}

bool EncodeToStream(u32 type, const PixelImage& image, std::FILE* stream) {
    switch (type) {
    case kTypeBmp:
        return WriteBmp(stream, image);
    case kTypePng:
        return WritePng(stream, image);
    case kTypeTiff:
        return WriteTiff(stream, image);
    default:
        return false;
    }
}

bool IsLwoForm(const u8* head, size_t length) {
    return length >= 12 && std::memcmp(head, "FORM", 4) == 0 &&
           (std::memcmp(head + 8, "LWO2", 4) == 0 || std::memcmp(head + 8, "LWOB", 4) == 0);
}

// A text 3DMF file's first word is "3DMetafile"; blank lines and lines
// whose first character after leading blanks is '#' may come before it, as
// the 3DMF reader skips them too.
bool IsText3dmf(const u8* head, size_t length, std::FILE* stream, u64 file_size) {
    // Most files are ruled out by their first visible character.
    size_t first = 0;
    while (first < length && std::strchr(" \t\v\f\r\n", head[first]) && head[first]) ++first;
    if (first < length && head[first] != '#' && head[first] != '3') return false;
    const u64 limit = std::min(file_size, kMax3dmfLeadBytes);
    if (limit == 0 || !SeekStream(stream, 0)) return false;
    std::string text(static_cast<size_t>(limit), '\0');
    if (!ReadExact(stream, &text[0], text.size())) return false;
    const char* const blanks = " \t\v\f\r\n";
    size_t at = 0;
    while (true) {
        at = text.find_first_not_of(blanks, at);
        if (at == std::string::npos) return false;
        if (text[at] != '#') break;
        at = text.find_first_of("\r\n", at);
        if (at == std::string::npos) return false;
    }
    static const char kWord[] = "3DMetafile";
    const size_t word = sizeof(kWord) - 1;
    if (text.compare(at, word, kWord) != 0) return false;
    if (at + word == text.size()) return text.size() == file_size;
    return std::strchr(blanks, text[at + word]) != nullptr;
}

// Decides the kind and type from the first bytes; the codecs confirm the
// image types by reading their headers. A confirmation that fails lets the
// later rules try.
bool IdentifyStream(std::FILE* stream, const u8* head, size_t length, u64 file_size, ImageFile* file) {
    auto claim = [&](u32 kind, u32 type) {
        if (!Accepts(*file, kind, type)) return false;
        file->kind = kind;
        file->type = type;
        return true;
    };
    if (length >= 2 && ((head[0] == 'I' && head[1] == 'I') || (head[0] == 'M' && head[1] == 'M'))) {
        if (Accepts(*file, kKindImage, kTypeTiff) && ReadTiffHeader(stream)) return claim(kKindImage, kTypeTiff);
    }
    if (length >= 4 && head[0] == 0x89 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G') {
        PngHeader header;
        if (Accepts(*file, kKindImage, kTypePng) && ParsePngHeader(head, length, &header))
            return claim(kKindImage, kTypePng);
    }
    if (length >= 2 && head[0] == 'B' && head[1] == 'M') {
        BmpHeader header;
        if (Accepts(*file, kKindImage, kTypeBmp) && ReadBmpHeader(stream, &header)) {
            file->pixel_data_position = header.data_offset;
            file->bottom_up = header.bottom_up;
            return claim(kKindImage, kTypeBmp);
        }
    }
    if (IsLwoForm(head, length) && Accepts(*file, kKindModel, kTypeLwo)) return claim(kKindModel, kTypeLwo);
    if (Accepts(*file, kKindModel, kType3dmf) && IsText3dmf(head, length, stream, file_size)) return claim(kKindModel, kType3dmf);
    if (length >= 12 && std::memcmp(head + 8, "WAVE", 4) == 0 && Accepts(*file, kKindSound, kTypeWav))
        return claim(kKindSound, kTypeWav);
    if (g_tag_recogniser && Accepts(*file, kKindTag, kTypeTag)) {
        std::any parsed;
        if (g_tag_recogniser(head, length, file_size, &parsed)) {
            file->header = std::move(parsed);
            return claim(kKindTag, kTypeTag);
        }
    }
    if (g_archive_recogniser && Accepts(*file, kKindArchive, kTypeArchive)) {
        std::any parsed;
        if (g_archive_recogniser(head, length, file_size, &parsed)) {
            file->header = std::move(parsed);
            return claim(kKindArchive, kTypeArchive);
        }
    }
    return false;
}

bool DecodeStream(std::FILE* stream, u32 type, PixelImage* image) {
    switch (type) {
    case kTypeBmp:
        return ReadBmp(stream, image);
    case kTypePng:
        return ReadPng(stream, image);
    case kTypeTiff:
        return ReadTiff(stream, image);
    default:
        return false;
    }
}

// Paletted pictures that are really grey are kept as alpha, the form the
// program draws and edits them in.
void NormaliseGreyImage(PixelImage* image) {
    if (image->format != kFormatColorIndex) return;
    if (image->has_palette() && !IsGreyRampPalette(*image)) return;
    image->format = kFormatAlpha;
    SetImagePalette(image, 0, nullptr);
}

// Opens the stream for an operation unless it is already open in that mode;
// closes it again afterwards only when it opened it.
class StreamUse {
public:
    StreamUse(ImageFile* file, u32 mode) : file_(file) {
        if (file->open_mode == mode && file->stream) {
            ok_ = SeekStream(file->stream, 0);
        } else {
            ok_ = OpenImageFile(file, mode);
            opened_ = ok_;
        }
    }
    ~StreamUse() {
        if (opened_) CloseImageFile(file_);
    }
    StreamUse(const StreamUse&) = delete;
    StreamUse& operator=(const StreamUse&) = delete;
    bool ok() const { return ok_; }

private:
    ImageFile* file_;
    bool ok_ = false;
    bool opened_ = false;
};

}  // namespace

ImageFile::~ImageFile() {
    if (stream) CloseFileStream(stream);
}

ImageFile::ImageFile(ImageFile&& other) noexcept { *this = std::move(other); }

ImageFile& ImageFile::operator=(ImageFile&& other) noexcept {
    if (this == &other) return *this;
    if (stream) CloseFileStream(stream);
    path = std::move(other.path);
    kind = other.kind;
    type = other.type;
    info = other.info;
    image = std::move(other.image);
    header = std::move(other.header);
    open_mode = other.open_mode;
    stream = other.stream;
    identified = other.identified;
    loaded = other.loaded;
    pixel_data_position = other.pixel_data_position;
    bottom_up = other.bottom_up;
    other.stream = nullptr;
    other.open_mode = kImageClosed;
    return *this;
}

void SetTagHeaderRecogniser(HeaderRecogniser recogniser) { g_tag_recogniser = recogniser; }
void SetArchiveHeaderRecogniser(HeaderRecogniser recogniser) { g_archive_recogniser = recogniser; }

void InitImageFile(ImageFile* file, const std::string& path) {
    FreeImageFile(file);
    file->path = path;
}

void InitEmptyImageFile(ImageFile* file) { FreeImageFile(file); }

void FreeImageFile(ImageFile* file) {
    CloseImageFile(file);
    file->path.clear();
    file->kind = kKindUnknown;
    file->type = kTypeUnknown;
    file->info = FileInfo();
    file->image = PixelImage();
    file->header.reset();
    file->identified = false;
    file->loaded = false;
    file->pixel_data_position = 0;
    file->bottom_up = false;
}

bool OpenImageFile(ImageFile* file, u32 mode) {
    if (mode != kImageReading && mode != kImageWriting) return false;
    if (file->open_mode == mode && file->stream) return SeekStream(file->stream, 0);
    CloseImageFile(file);
    if (file->path.empty()) return false;
    file->stream = OpenFileStream(file->path, mode == kImageReading ? "rb" : "wb");
    if (!file->stream) return false;
    file->open_mode = mode;
    StatStream(&file->info, file->stream);
    return SeekStream(file->stream, 0);
}

void CloseImageFile(ImageFile* file) {
    if (file->stream) CloseFileStream(file->stream);
    file->stream = nullptr;
    file->open_mode = kImageClosed;
}

bool IdentifyImageFile(ImageFile* file) {
    if (file->identified) return true;
    StreamUse use(file, kImageReading);
    if (!use.ok()) return false;
    u8 head[kIdentifyBytes] = {};
    u64 size = 0;
    if (!StreamSize(file->stream, &size)) return false;
    size_t length = static_cast<size_t>(std::min<u64>(size, kIdentifyBytes));
    if (length == 0 || !ReadExact(file->stream, head, length)) return false;
    if (!IdentifyStream(file->stream, head, length, size, file)) return false;
    file->identified = true;
    return true;
}

bool LoadImageFile(ImageFile* file) {
    if (file->loaded) return true;
    StreamUse use(file, kImageReading);
    if (!use.ok() || !IdentifyImageFile(file)) return false;
    if (file->kind == kKindImage) {
        PixelImage decoded;
        if (!DecodeStream(file->stream, file->type, &decoded)) return false;
        NormaliseGreyImage(&decoded);
        file->image = std::move(decoded);
    }
    file->loaded = true;
    return true;
}

bool CanSaveImageAs(u32 type, const PixelImage& image) {
    if (type != kTypeBmp && type != kTypePng && type != kTypeTiff) return false;
    return IsWritableFormat(image.format) && HasWholePixels(image);
}

bool SaveImageFile(ImageFile* file) {
    // Everything that can be refused is refused before the file is touched.
    if (!CanSaveImageAs(file->type, file->image) || file->path.empty()) return false;
    if (file->open_mode == kImageWriting && file->stream) {
        if (!SeekStream(file->stream, 0)) return false;
        return EncodeToStream(file->type, file->image, file->stream) && std::fflush(file->stream) == 0;
    }
    CloseImageFile(file);
    SafeFileWriter out;
    if (!out.Open(file->path)) return false;
    if (!EncodeToStream(file->type, file->image, out.stream())) return false;  // the writer removes its file
    if (!out.Commit()) return false;
    StatPath(&file->info, file->path);
    return true;
}

const std::vector<FileTypeEntry>& FileTypeTable() {
    static const std::vector<FileTypeEntry> table = {
        {".unknown", kTypeUnknown, kKindUnknown}, {".lwo", kTypeLwo, kKindModel}, {".wav", kTypeWav, kKindSound},
        {".bmp", kTypeBmp, kKindImage},           {".png", kTypePng, kKindImage}, {".tiff", kTypeTiff, kKindImage},
    };
    return table;
}

u32 FileTypeFromExtension(const std::string& path) {
    size_t dot = path.rfind('.');
    std::string tail = dot == std::string::npos ? path : path.substr(dot + 1);
    for (const FileTypeEntry& row : FileTypeTable()) {
        const char* without_dot = row.extension + 1;
        if (strcasecmp(tail.c_str(), row.extension) == 0 || strcasecmp(tail.c_str(), without_dot) == 0)
            return row.type;
    }
    return kTypeUnknown;
}

const FileTypeEntry& FileTypeRow(u32 type) {
    for (const FileTypeEntry& row : FileTypeTable()) {
        if (row.type == type) return row;
    }
    return FileTypeTable()[0];
}

bool DecodeImageBytes(const u8* bytes, size_t size, PixelImage* image, u32* type) {
    if (!bytes || size == 0) return false;
    std::FILE* stream = OpenBytesForReading(bytes, size);
    if (!stream) return false;
    ImageFile file;
    file.kind = kKindImage;
    file.stream = stream;  // closed by the record
    file.open_mode = kImageReading;
    bool ok = LoadImageFile(&file) && file.kind == kKindImage;
    if (ok) {
        *image = std::move(file.image);
        if (type) *type = file.type;
    }
    return ok;
}

bool EncodeImageBytes(u32 type, const PixelImage& image, std::vector<u8>* bytes) {
    if (!CanSaveImageAs(type, image)) return false;
    // libtiff seeks and rereads while writing, so a real temporary file.
    return CaptureWrittenBytesInScratchFile(
        [&](std::FILE* stream) { return EncodeToStream(type, image, stream); }, bytes);
}

}  // namespace pirn
