#include "codex/tag_group.h"

#include "codex/tag_entry.h"

namespace pirn {

TagGroupInfo TagGroupTable[kTagGroupCount] = {
    {MakeFourCC("amso"), "Ambient Sounds", "Ambient Sound", nullptr},
    {MakeFourCC("anim"), "Model Animations", "Model Animation", nullptr},
    {MakeFourCC("arti"), "Artifacts", "Artifact", nullptr},
    {MakeFourCC("core"), "Collection References", "Collection Reference", nullptr},
    {MakeFourCC(".256"), "Collections", "Collection", nullptr},
    {MakeFourCC("conn"), "Connectors", "Connector", nullptr},
    {MakeFourCC("ditl"), "Dialog String Lists", "Dialog String List", nullptr},
    {MakeFourCC("dmap"), "Detail Maps", "Detail Map", nullptr},
    {MakeFourCC("dtex"), "Detail Textures", "Detail Texture", nullptr},
    {MakeFourCC("bina"), "Dialogs", "Dialog", nullptr},
    {MakeFourCC("font"), "Fonts", "Font", nullptr},
    {MakeFourCC("form"), "Formations", "Formations", nullptr},
    {MakeFourCC("geom"), "Geometries", "Geometry", nullptr},
    {MakeFourCC("inte"), "Interface", "Interface", nullptr},
    {MakeFourCC("ligh"), "Lightning", "Lightning", nullptr},
    {MakeFourCC("phys"), "Local Physics", "Local Physics", nullptr},
    {MakeFourCC("lpgr"), "Local Projectile Groups", "Local Projectile Group", nullptr},
    {MakeFourCC("medi"), "Media Types", "Media Type", nullptr},
    {MakeFourCC("meef"), "Mesh Effect", "Mesh Effect", nullptr},
    {MakeFourCC("meli"), "Mesh Lighting", "Mesh Lighting", nullptr},
    {MakeFourCC("mesh"), "Meshes", "Mesh", nullptr},
    {MakeFourCC("mode"), "Models", "Model", nullptr},
    {MakeFourCC("mons"), "Monsters", "Monster", nullptr},
    {MakeFourCC("obje"), "Objects", "Object", nullptr},
    {MakeFourCC("obpc"), "Observer Constants", "Observer Constants", nullptr},
    {MakeFourCC("part"), "Particle Systems", "Particle Systems", nullptr},
    {MakeFourCC("pref"), "Preferences", "Preferences", nullptr},
    {MakeFourCC("prel"), "Preloaded Data", "Preloaded Data", nullptr},
    {MakeFourCC("prgr"), "Projectile Groups", "Projectile Group", nullptr},
    {MakeFourCC("proj"), "Projectiles", "Projectile", nullptr},
    {MakeFourCC("reco"), "Recordings", "Recording", nullptr},
    {MakeFourCC("save"), "Saved Games", "Save", nullptr},
    {MakeFourCC("scen"), "Scenery", "Scenery", nullptr},
    {MakeFourCC("scri"), "Scripts", "Script", nullptr},
    {MakeFourCC("soli"), "Sound Lists", "Sound List", nullptr},
    {MakeFourCC("soun"), "Sounds", "Sound", nullptr},
    {MakeFourCC("stli"), "String Lists", "String List", nullptr},
    {MakeFourCC("temp"), "Templates", "Template", nullptr},
    {MakeFourCC("text"), "Text", "Text", nullptr},
    {MakeFourCC("unit"), "Units", "Unit", nullptr},
    {MakeFourCC("wind"), "Wind", "Wind", nullptr},
    {MakeFourCC("txst"), "Texture Stacks", "Texture Stack", nullptr},
    {MakeFourCC("skmd"), "Skeletal Models", "Skeletal Model", nullptr},
    {MakeFourCC("skan"), "Skeletal Animation", "Skeletal Animation", nullptr},
    {MakeFourCC("canm"), "Camera Animations", "Camera Animation", nullptr},
    {MakeFourCC("loli"), "Local Lights", "Local Light", nullptr},
    {MakeFourCC("glli"), "Global Lights", "Global Light", nullptr},
    {MakeFourCC("grsp"), "Ground Sprites", "Ground Sprites", nullptr},
    {MakeFourCC("spri"), "Sprite Definitions", "Sprite Definition", nullptr},
    {MakeFourCC("game"), "Game Parameters", "Game Parameters", nullptr},
    {MakeFourCC("rawd"), "Raw Files", "Raw File", nullptr},
    {MakeFourCC("jpeg"), "JPEG Files", "JPEG File", nullptr},
    {MakeFourCC("quik"), "Quicktime/MP3", "Quicktime/MP3", nullptr},
};

int TagGroupIndex(u32 code) {
    for (u32 i = 0; i < kTagGroupCount; ++i)
        if (TagGroupTable[i].code == code) return static_cast<int>(i);
    return -1;
}

TagGroupInfo* FindTagGroup(u32 code) {
    const int index = TagGroupIndex(code);
    return index < 0 ? nullptr : &TagGroupTable[index];
}

const char* GetTagGroupLabel(u32 code) {
    if (const TagGroupInfo* group = FindTagGroup(code)) return group->plural_label;
    static char unknown[5];
    FourCCToChars(code, unknown);
    return unknown;
}

std::string TagGroupLabelText(u32 code) {
    if (const TagGroupInfo* group = FindTagGroup(code)) return group->plural_label;
    return FourCCToText(code);
}

void SetTagGroupEditor(u32 code, TagEditorFactory factory) {
    if (TagGroupInfo* group = FindTagGroup(code)) group->factory = factory;
}

void ClearTagGroupEditors() {
    for (TagGroupInfo& group : TagGroupTable) group.factory = nullptr;
}

TagEdit* MakeTagEditor(TagEntry* tag) {
    if (!tag) return nullptr;
    TagGroupInfo* group = FindTagGroup(tag->group);
    if (!group || !group->factory) return nullptr;
    return group->factory(tag, group, tag->group);
}

}  // namespace pirn
