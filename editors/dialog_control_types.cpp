#include "editors/dialog_control_types.h"

#include "codex/four_char_code.h"
#include "platform/strings.h"

namespace pirn {

namespace {

const DialogControlType kControlTypes[kDialogControlTypeCount] = {
    {MakeFourCC("bann"), "Banner"},
    {MakeFourCC("bitm"), "Bitmap"},
    {MakeFourCC("butt"), "Button"},
    {MakeFourCC("edit"), "Editable Text"},
    {MakeFourCC("lste"), "Entrypoint List"},
    {MakeFourCC("cgrf"), "Carnage Graph"},
    {MakeFourCC("ched"), "Carnage Header"},
    {MakeFourCC("cstt"), "Carnage Stats"},
    {MakeFourCC("chat"), "Chat List"},
    {MakeFourCC("chek"), "Checkbox"},
    {MakeFourCC("colr"), "Color Picker"},
    {MakeFourCC("numb"), "Double Arrow"},
    {MakeFourCC("game"), "Game Graphic"},
    {MakeFourCC("gaml"), "Game List"},
    {MakeFourCC("ipop"), "Icon Popup"},
    {MakeFourCC("map_"), "Map Graphic"},
    {MakeFourCC("lstm"), "Map List"},
    {MakeFourCC("popm"), "Map Popup"},
    {MakeFourCC("STAT"), "Monster Status"},
    {MakeFourCC("pass"), "Password Text"},
    {MakeFourCC("plli"), "Player List"},
    {MakeFourCC("pbli"), "Plyer List (Buddy)"},
    {MakeFourCC("poli"), "Player List (Order)"},
    {MakeFourCC("lstp"), "Plugin List"},
    {MakeFourCC("popu"), "Popup"},
    {MakeFourCC("repo"), "Postgame Report"},
    {MakeFourCC("prog"), "Progress Bar"},
    {MakeFourCC("prol"), "Prologue Control"},
    {MakeFourCC("radi"), "Radio Button"},
    {MakeFourCC("room"), "Room Graphic"},
    {MakeFourCC("sacc"), "Statistics Bar"},
    {MakeFourCC("slid"), "Slider Control"},
    {MakeFourCC("snap"), "Snapshot Image"},
    {MakeFourCC("stat"), "Static Text"},
    {MakeFourCC("slst"), "String List"},
    {MakeFourCC("tabc"), "Tab Control"},
    {MakeFourCC("lstg"), "Tag List"},
};

}  // namespace

const DialogControlType* GetDialogControlType(u32 i) {
    return i < kDialogControlTypeCount ? &kControlTypes[i] : nullptr;
}

int FindDialogControlType(u32 code) {
    for (u32 i = 0; i < kDialogControlTypeCount; ++i)
        if (kControlTypes[i].code == code) return static_cast<int>(i);
    return -1;
}

std::string DialogControlTypeName(u32 code) {
    const int row = FindDialogControlType(code);
    if (row >= 0) return kControlTypes[row].name;
    char chars[5];
    FourCCToChars(code, chars);
    return FormatString("Unknown(%.4s)", chars);
}

}  // namespace pirn
