#pragma once
// Every message box of the terrain editor: caption and text as the user
// reads them. Each has the one button "OK".

namespace pirn::mesh_messages {

constexpr const char* kOk = "OK";
constexpr const char* kErrorCaption = "Error";
constexpr const char* kWriteFailed = "Unable to write the image";
constexpr const char* kReadFailed = "Unable to read the file";
constexpr const char* kPartialCaption = "Partial Success";
constexpr const char* kPartialText = "The map wasn't 100% perfect, so please carefully check the results.";
constexpr const char* kMessageCaption = "Message";
constexpr const char* kReservedIndex = "Index 0 is reserved, but you can edit the highlight color.";

// Dialog captions and default file names.
constexpr const char* kExportVertexCaption = "Export Per-Vertex Details";
constexpr const char* kExportTriangleCaption = "Export Per-Triangle Details";
constexpr const char* kImportVertexCaption = "Import Per-Vertex Details";
constexpr const char* kImportTriangleCaption = "Import Per-Triangle Details";
constexpr const char* kVertexSuffix = " vertex detail";
constexpr const char* kTriangleSuffix = " triangle detail";

}  // namespace pirn::mesh_messages
