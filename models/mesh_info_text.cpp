#include "models/mesh_info_text.h"

#include "platform/strings.h"

namespace pirn {

namespace {

const char* OnOff(bool on) { return on ? "ON" : "OFF"; }

}  // namespace

const char* HighlightModeName(u32 mode) {
    switch (mode) {
        case kHighlightReflectivity: return "Reflectivity";
        case kHighlightTerrainType: return "Terrain Type";
        default: return "Texture Index";
    }
}

std::string MeshInfoText(const MeshEditData& data) {
    const double total = double(data.columns) * data.rows;
    const double percent = total > 0 ? 100.0 * data.cells_drawn / total : 0.0;
    std::string text = FormatString(
        "Mesh Dimensions: %d x %d\nMesh Chunks: %d invisible, %d partial, %d full\nMesh Cells: %d rendered "
        "(%.1f%%)\nWireframe: %s\nMedia Animation: %s\n",
        static_cast<int>(data.columns), static_cast<int>(data.rows), static_cast<int>(data.blocks_by_class[0]),
        static_cast<int>(data.blocks_by_class[1]), static_cast<int>(data.blocks_by_class[2]),
        static_cast<int>(data.cells_drawn), percent, OnOff(data.wireframe), OnOff(data.media_animation));
    if (data.tool != kMeshDetailMapTool) return text;
    const DetailTextureSlot& slot = data.slots[data.current_texture < kDetailSlotCount ? data.current_texture : 0];
    text += FormatString(
        "Detail Textures: %s\nHighlighting: %s\nHighlight Mode: %s\nBrush Shape: %s\nBrush Mode: %s\nBrush Radius: "
        "%.1f\nBrush Material: %s\nBrush Scale: %d px/cell (%.1f:1)\nBrush Position: {%.2f, %.2f}\n",
        OnOff(data.detail_textures), OnOff(data.highlighting), HighlightModeName(data.highlight_mode),
        data.square_brush ? "Square" : "Round", data.triangle_mode ? "Triangle" : "Vertex",
        static_cast<double>(data.brush_radius), data.current_label.c_str(), static_cast<int>(slot.scale),
        slot.scale / 8.0, static_cast<double>(data.pick_x), static_cast<double>(data.pick_z));
    return text;
}

}  // namespace pirn
