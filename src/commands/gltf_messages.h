// Texts the glTF commands show, kept in one place.
#pragma once

namespace gantry::gltf_command_messages {

inline constexpr const char* kFilter = "glTF 2.0 (*.glb;*.gltf)|*.glb;*.gltf|All files (*.*)|*.*";
inline constexpr const char* kExportTitle = "Export glTF";
inline constexpr const char* kImportTitle = "Import glTF";
inline constexpr const char* kCannotRead = "Could not read {}: {}";
inline constexpr const char* kCannotImport = "Could not import {}: {}";
inline constexpr const char* kCannotExport = "Could not export the model as glTF: {}";
inline constexpr const char* kCannotWrite = "Could not write {}: {}";
inline constexpr const char* kReplaced = "replaced mesh {}";
inline constexpr const char* kAdded = "added mesh {}";

}  // namespace gantry::gltf_command_messages
