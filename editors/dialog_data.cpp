#include "editors/dialog_data.h"

#include <cstring>

#include "editors/stream_bytes.h"

namespace pirn {

const StructLayout kDialogHeaderLayout[] = {12, 6, kRunU16};
const StructLayout kDialogControlLayout[] = {24, 1, kRunU32, 1, kRunZero16, 1, kRunU16, 4, kRunZero16, 4, kRunU16};

namespace {

// The memory forms the layouts read into and write from.
struct DialogHeaderRecord {
    u16 version;
    u16 count;
    i16 top, left, bottom, right;
};
static_assert(sizeof(DialogHeaderRecord) == kDialogHeaderSize, "header record is packed");

struct DialogControlRecord {
    u32 type;
    u16 reserved_a;
    u16 id;
    u16 reserved_b[4];
    i16 top, left, bottom, right;
};
static_assert(sizeof(DialogControlRecord) == kDialogControlSize, "control record is packed");

bool Fits16(i32 v) { return v >= -32768 && v <= 32767; }

DialogRect RectFromDisk(i16 top, i16 left, i16 bottom, i16 right) { return DialogRect{left, top, right, bottom}; }

}  // namespace

bool DialogRectFits(const DialogRect& r) {
    return Fits16(r.left) && Fits16(r.top) && Fits16(r.right) && Fits16(r.bottom);
}

u32 ReadDialog(DialogData* dialog, std::FILE* stream, u32 data_length) {
    if (data_length < kDialogHeaderSize || StreamBytesLeft(stream) < data_length) return 0;
    DialogHeaderRecord header;
    if (ReadRecords(&header, 1, kDialogHeaderLayout, stream) != kDialogHeaderSize) return 0;
    const u64 records_size = u64{header.count} * kDialogControlSize;
    if (u64{kDialogHeaderSize} + records_size > data_length) return 0;
    const u64 text_size = data_length - kDialogHeaderSize - records_size;

    std::vector<DialogControlRecord> records(header.count);
    if (header.count > 0 && ReadRecords(records.data(), header.count, kDialogControlLayout, stream) != records_size)
        return 0;
    std::vector<char> texts(static_cast<size_t>(text_size));
    if (text_size > 0 && std::fread(texts.data(), 1, texts.size(), stream) != texts.size()) return 0;

    DialogData result;
    result.version = header.version;
    result.rect = RectFromDisk(header.top, header.left, header.bottom, header.right);
    result.controls.resize(header.count);
    size_t at = 0;
    for (u32 i = 0; i < header.count; ++i) {
        const void* nul = at < texts.size() ? std::memchr(texts.data() + at, 0, texts.size() - at) : nullptr;
        if (!nul) return 0;
        const size_t end = static_cast<const char*>(nul) - texts.data();
        DialogControl& control = result.controls[i];
        const DialogControlRecord& r = records[i];
        control.type = r.type;
        control.id = r.id;
        control.rect = RectFromDisk(r.top, r.left, r.bottom, r.right);
        control.text.assign(texts.data() + at, end - at);
        at = end + 1;
    }
    *dialog = std::move(result);
    return static_cast<u32>(kDialogHeaderSize + records_size + text_size);
}

bool DialogFitsFile(const DialogData& dialog) {
    if (dialog.version > 0xFFFF || dialog.controls.size() > 0xFFFF || !DialogRectFits(dialog.rect)) return false;
    for (const DialogControl& c : dialog.controls)
        if (!DialogRectFits(c.rect) || c.text.find('\0') != std::string::npos) return false;
    return true;
}

u32 WriteDialog(const DialogData& dialog, std::FILE* stream) {
    if (!DialogFitsFile(dialog)) return 0;
    const DialogRect& d = dialog.rect;
    const DialogHeaderRecord header{static_cast<u16>(dialog.version), static_cast<u16>(dialog.controls.size()),
                                    static_cast<i16>(d.top), static_cast<i16>(d.left),
                                    static_cast<i16>(d.bottom), static_cast<i16>(d.right)};
    std::vector<DialogControlRecord> records;
    std::string texts;
    for (const DialogControl& c : dialog.controls) {
        records.push_back(DialogControlRecord{c.type, 0, c.id, {0, 0, 0, 0}, static_cast<i16>(c.rect.top),
                                              static_cast<i16>(c.rect.left), static_cast<i16>(c.rect.bottom),
                                              static_cast<i16>(c.rect.right)});
        texts += c.text;
        texts.push_back('\0');
    }
    if (WriteRecords(&header, 1, kDialogHeaderLayout, stream) != kDialogHeaderSize) return 0;
    const u32 count = static_cast<u32>(records.size());
    if (count > 0 && WriteRecords(records.data(), count, kDialogControlLayout, stream) != count * kDialogControlSize)
        return 0;
    if (!texts.empty() && std::fwrite(texts.data(), 1, texts.size(), stream) != texts.size()) return 0;
    const u64 total = u64{kDialogHeaderSize} + u64{count} * kDialogControlSize + texts.size();
    return total > 0xFFFFFFFF ? 0 : static_cast<u32>(total);
}

}  // namespace pirn
