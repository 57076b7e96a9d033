#pragma once
// A file on disk identified by its first bytes (image, tag, archive, sound
// or model) and, for images, decoded into a PixelImage. BMP, PNG and TIFF
// are read and written here.

#include <any>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/pixel_image.h"
#include "platform/types.h"

namespace pirn {

enum FileKind : u32 {
    kKindUnknown = 0,
    kKindTag = 1,
    kKindArchive = 2,
    kKindSound = 3,
    kKindModel = 4,
    kKindImage = 5,
};

enum FileType : u32 {
    kTypeUnknown = 0,
    kTypeTag = 1,
    kTypeArchive = 2,
    kTypeWav = 3,
    kTypeLwo = 4,
    kType3dmf = 5,
    kTypeBmp = 6,
    kTypePng = 7,
    kTypeTiff = 8,
};

enum ImageOpenMode : u32 {
    kImageClosed = 0,
    kImageReading = 1,
    kImageWriting = 2,
};

struct FileTypeEntry {
    const char* extension;
    u32 type;
    u32 kind;
};

struct ImageFile {
    ImageFile() = default;
    ~ImageFile();
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;
    // Moving hands over the open stream, if any.
    ImageFile(ImageFile&& other) noexcept;
    ImageFile& operator=(ImageFile&& other) noexcept;

    std::string path;
    // Set before identification, a kind or type is a requirement: a file of
    // another kind or type is not identified. 0 accepts any.
    u32 kind = kKindUnknown;
    u32 type = kTypeUnknown;
    FileInfo info;
    PixelImage image;
    // For tags and archives, the header as the registered recogniser parsed
    // it.
    std::any header;
    u32 open_mode = kImageClosed;
    std::FILE* stream = nullptr;
    bool identified = false;
    bool loaded = false;
    u64 pixel_data_position = 0;
    bool bottom_up = false;
};

// Recognises a tag or archive header in the first bytes of a file (at most
// 128, fewer when the file is shorter) and stores its parsed form. Both
// headers are only valid with the file's whole size (a tag file's data
// length, an archive's stored size), so that comes too. The Codex, which
// owns those formats, registers them when it starts; until then such files
// stay unknown.
using HeaderRecogniser = bool (*)(const u8* bytes, size_t length, u64 file_size, std::any* parsed);
void SetTagHeaderRecogniser(HeaderRecogniser recogniser);
void SetArchiveHeaderRecogniser(HeaderRecogniser recogniser);

void InitImageFile(ImageFile* file, const std::string& path);
void InitEmptyImageFile(ImageFile* file);
// Closes the stream and frees the pixels, palette, header and path.
void FreeImageFile(ImageFile* file);

// Mode 1 opens "rb", mode 2 "wb" (truncating: callers that want the old
// file kept save through SaveImageFile instead). Already open in that mode:
// rewinds. Refreshes the file's FileInfo from the stream.
bool OpenImageFile(ImageFile* file, u32 mode);
void CloseImageFile(ImageFile* file);

bool IdentifyImageFile(ImageFile* file);
// Identifies and, for images, decodes (once). A paletted image without
// palette or with the grey-ramp palette becomes GL_ALPHA.
bool LoadImageFile(ImageFile* file);
// Writes the image in the format of the file's type (BMP, PNG or TIFF).
// Both type and pixel format are checked before the file is touched, and
// the file is written to a temporary file that replaces it only once
// complete. When the caller opened the file for writing itself, its stream
// is used as it is.
bool SaveImageFile(ImageFile* file);

// Whether a codec of that type writes the image's pixel format.
bool CanSaveImageAs(u32 type, const PixelImage& image);

// The type whose extension matches the text after the last '.' (the whole
// path when there is none), ignoring case, with or without the dot.
u32 FileTypeFromExtension(const std::string& path);
// The table row of a type, or the ".unknown" row.
const FileTypeEntry& FileTypeRow(u32 type);
const std::vector<FileTypeEntry>& FileTypeTable();

// Decoding and encoding in memory, for the clipboard: the type is found
// from the bytes (BMP, PNG or TIFF).
bool DecodeImageBytes(const u8* bytes, size_t size, PixelImage* image, u32* type);
bool EncodeImageBytes(u32 type, const PixelImage& image, std::vector<u8>* bytes);

}  // namespace pirn
