#pragma once
// Building add-ons: plugin archives (kind 6) in the game's plugins folder,
// made from the local folder. A regular add-on packs the local tags of the
// groups add-ons may carry; a detail-texture add-on packs the local detail
// maps and every detail texture their cells use. The add-on popup asks for
// the name, web address and priority; the checks of its fields and both
// commands live here, apart from the dialog.

#include <functional>
#include <string>

#include "codex/tag_entry.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kAddonArchiveKind = 6;
constexpr u16 kAddonMinPriority = 2;
constexpr u16 kAddonMaxPriority = 32767;

extern const char* const kAddonDefaultName;      // "<addon name>"
extern const char* const kAddonDefaultUrl;       // "<addon url>"
extern const char* const kAddonDefaultPriority;  // "100"
extern const char* const kAddonHelpText;

struct AddonFields {
    std::string name = kAddonDefaultName;
    std::string url = kAddonDefaultUrl;
    std::string priority = kAddonDefaultPriority;
};

// A message box to show: caption, text (8-bit program text) and button.
struct AddonMessage {
    std::string caption;
    std::string text;
    std::string button;
    bool empty() const { return caption.empty(); }
};

// The invalid fields as words with a leading space, in the order " name",
// " url", " version"; empty when every field is valid. A name is invalid
// when empty or when it cannot be a file name inside plugins/ ("." or
// ".."); a priority when it is not a whole number in 2..32767.
std::string FindInvalidAddonFields(const AddonFields& fields);
u16 AddonPriority(const AddonFields& fields);

// Asks for the fields (the AddonPopup dialog in the program, app/ui/
// addon_popup.h): fills them and returns true when the user confirmed,
// false on Cancel.
using AddonFieldsPrompt = std::function<bool(AddonFields* fields)>;

// RunAddonPopup's checks after the dialog: 1 when the fields can be used,
// else 0 with the error box to show (nothing when cancelled).
int RunAddonPopup(const AddonFieldsPrompt& popup, AddonFields* fields, AddonMessage* message);

// Asks for the fields and writes the plugin; the message says how it went
// (empty when the popup was cancelled). 1 when written.
int WriteAddon(const TagList& tags, const AddonFieldsPrompt& popup, AddonMessage* message);

// The tags each command would pack, in order; 0 with the message to show
// when there is nothing to pack or a detail map cannot be packed.
int CollectRegularAddonTags(TagList* tags, AddonMessage* message);
int CollectDtexAddonTags(TagList* tags, AddonMessage* message);

// The root-menu commands "Build Regular Add-on" and "Build Dtex Add-on".
int BuildRegularAddon(const AddonFieldsPrompt& popup, AddonMessage* message);
int BuildDtexAddon(const AddonFieldsPrompt& popup, AddonMessage* message);

// Whether an add-on may carry tags of the group (soli, ditl, form, obpc,
// reco, save, soun, stli, temp, text).
bool IsAddonAllowedGroup(u32 group);

}  // namespace pirn
