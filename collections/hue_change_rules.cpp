#include "collections/hue_change_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

#include "collections/x256_messages.h"
#include "platform/colour_space.h"
#include "platform/strings.h"

namespace pirn {

namespace {

bool Between(u16 value, u16 low, u16 high) { return value > low && value < high; }

// A whole number as typed into a number box; false for "", "-" and text
// that is not one.
bool ParseTyped(const std::string& typed, i32* value) {
    size_t i = 0;
    const bool negative = !typed.empty() && typed[0] == '-';
    if (negative) i = 1;
    if (i == typed.size() || typed.size() - i > 9) return false;
    i32 v = 0;
    for (; i < typed.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(typed[i]))) return false;
        v = v * 10 + (typed[i] - '0');
    }
    *value = negative ? -v : v;
    return true;
}

}  // namespace

u32 HueDegrees(u16 hue) { return u32{hue} * 360 / 65536; }

u16 HueFromDegrees(u32 degrees) {
    const u32 hue = std::min<u32>(degrees, kColorBarWidth) * 65536 / 360;
    return static_cast<u16>(std::min<u32>(hue, 0xFFFF));
}

u32 SaturationPercent(u16 saturation) { return u32{saturation} * 100 / 65535; }

u16 SaturationFromPercent(i32 percent) {
    if (percent >= 100) return 0xFFFF;
    if (percent < 0) percent = 0;
    return static_cast<u16>(u32(percent) * 65535 / 100 + 1);
}

SaturationEntry EnterSaturation(u16 current, const std::string& typed) {
    SaturationEntry entry;
    entry.stored = current;
    entry.shown = SaturationPercent(current);
    i32 value = 0;
    if (!ParseTyped(typed, &value)) return entry;
    const u16 stored = SaturationFromPercent(value);
    entry.shown = SaturationPercent(stored);
    if (entry.shown != SaturationPercent(current)) {
        entry.changed = true;
        entry.stored = stored;
    }
    entry.retype = typed != std::to_string(entry.shown);
    return entry;
}

UseAsChoice UseAsChoiceOf(u16 useAs) {
    if (useAs & 1) return kUsePrimary;
    if (useAs & 2) return kUseSecondary;
    return kUseNone;
}

u16 UseAsBitsOf(UseAsChoice choice) {
    switch (choice) {
        case kUsePrimary: return 1;
        case kUseSecondary: return 2;
        default: return 0;
    }
}

u8 ReplacementFlagsFor(bool replacementColor, bool solidColor) {
    u8 flags = replacementColor ? 1 : 0;
    if (solidColor && flags) flags |= 2;
    return flags;
}

HueMark PickHueMark(const CollectionHueChange& hue, i32 x) {
    const std::pair<HueMark, u16> marks[] = {
        {kStartMark, hue.start_hue}, {kEndMark, hue.end_hue}, {kMedianMark, hue.median_hue}};
    for (const auto& mark : marks)
        if (std::abs(x - static_cast<i32>(HueDegrees(mark.second))) <= static_cast<i32>(kHueMarkReach))
            return mark.first;
    return kNoMark;
}

bool DragHueMark(CollectionHueChange* hue, HueMark mark, i32 x) {
    const u16 h = HueFromDegrees(static_cast<u32>(std::clamp<i32>(x, 0, kColorBarWidth)));
    const CollectionHueChange before = *hue;
    u16& start = hue->start_hue;
    u16& end = hue->end_hue;
    u16& median = hue->median_hue;
    switch (mark) {
        case kStartMark:
            start = h;
            if (start < end) median = std::clamp(median, start, end);
            else if (Between(median, end, start)) median = start;
            break;
        case kEndMark:
            end = h;
            if (start < end) median = std::clamp(median, start, end);
            else if (Between(median, end, start)) median = end;
            break;
        case kMedianMark:
            // A wrapping range leaves no room between its end and its start.
            if (start > end) {
                if (!Between(h, end, start)) median = h;
            } else {
                median = h < start ? start : (h >= end ? end : h);
            }
            break;
        default:
            return false;
    }
    return start != before.start_hue || end != before.end_hue || median != before.median_hue;
}

void ColorBarColumnColor(u32 x, u8 rgb[3]) {
    const u8 hsv[3] = {static_cast<u8>(std::min<u32>(x, kColorBarWidth - 1) * 256 / 360), 255, 255};
    u8 out[4];
    HsvToRgb8(hsv, out);
    rgb[0] = out[0];
    rgb[1] = out[1];
    rgb[2] = out[2];
}

void ReplacementColor8(const CollectionHueChange& hue, u8 rgb[3]) {
    rgb[0] = static_cast<u8>(hue.replacement_red >> 8);
    rgb[1] = static_cast<u8>(hue.replacement_green >> 8);
    rgb[2] = static_cast<u8>(hue.replacement_blue >> 8);
}

void SetReplacementColor8(CollectionHueChange* hue, const u8 rgb[3]) {
    hue->replacement_red = static_cast<u16>(rgb[0] * 256);
    hue->replacement_green = static_cast<u16>(rgb[1] * 256);
    hue->replacement_blue = static_cast<u16>(rgb[2] * 256);
}

CollectionHueChange* DuplicateHueChange(Collection* collection, const CollectionHueChange* hue) {
    const i32 index = FindHueChange(*collection, hue);
    if (index < 0) return nullptr;
    auto copy = std::make_unique<CollectionHueChange>(*hue);
    SetElementName(copy->name, FormatString(x256_text::kCopyName, hue->name).c_str());
    CollectionHueChange* added = copy.get();
    collection->hue_changes.push_back(std::move(copy));
    MoveHueChange(collection, added, static_cast<u32>(index) + 1);
    return added;
}

}  // namespace pirn
