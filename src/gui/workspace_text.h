// What the 3D workspace shows in words.
#pragma once

namespace gantry::workspace_text {

inline constexpr const char* kDockTitle = "3D Workspace";
inline constexpr const char* kFit = "Fit (F)";
inline constexpr const char* kLayers = "Layers";
inline constexpr const char* kWindowMenu = "3D &Workspace";
inline constexpr const char* kNothingUnderCursor = "Nothing of the model under the cursor.";
// Followed by the three coordinates.
inline constexpr const char* kPositionLead = "Model position (copied): ";

}  // namespace gantry::workspace_text
