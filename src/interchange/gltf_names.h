// How glTF node names tell what a node is, for files that come without Gantry's `extras` (as a
// tool like Blender writes them). Export and import both follow these.
#pragma once

namespace gantry::gltf_names {

// A mesh's level of detail N > 0 is a sibling node named MESH + kLodInfix + N; LoD 0 is MESH.
inline constexpr const char* kLodInfix = "_LOD";
// A goblin mesh's node is its name followed by this.
inline constexpr const char* kGoblinSuffix = "_GOBLIN";
// Empties and helper meshes: the prefix, then the element's name.
inline constexpr const char* kMarker = "MARKER_";
inline constexpr const char* kDockPath = "DOCK_";
inline constexpr const char* kDockPoint = "_P";  // DOCK_name_P1, _P2 ... (from 1)
inline constexpr const char* kNavLight = "NAVLIGHT_";
inline constexpr const char* kEngineBurn = "BURN_";
inline constexpr const char* kEngineShape = "SHAPE_";
inline constexpr const char* kEngineGlow = "GLOW_";
inline constexpr const char* kCollision = "COLLISION_";
inline constexpr const char* kBoundary = "BOUNDARY_";
inline constexpr const char* kBackground = "BACKGROUND_";  // then the mesh's number, from 1

// The key of the object Gantry puts in `extras`, and what it says a node is.
inline constexpr const char* kExtrasKey = "gantry";
inline constexpr const char* kKindKey = "kind";

}  // namespace gantry::gltf_names
