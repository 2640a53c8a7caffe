// Texts the editing commands show or ask, kept in one place.
#pragma once

#include "common/shared_text.h"

namespace gantry::editing_messages {

inline constexpr const char* kSelectGeometryFirst = shared_text::kSelectGeometryFirst;
inline constexpr const char* kSelectObjectFirst = shared_text::kSelectObjectFirst;

inline constexpr const char* kXCoordinate = "X Co-ordinate";
inline constexpr const char* kYCoordinate = "Y Co-ordinate";
inline constexpr const char* kZCoordinate = "Z Co-ordinate";
inline constexpr const char* kXRotation = "X Rotation";
inline constexpr const char* kYRotation = "Y Rotation";
inline constexpr const char* kZRotation = "Z Rotation";
inline constexpr const char* kXScale = "X Scale";
inline constexpr const char* kYScale = "Y Scale";
inline constexpr const char* kZScale = "Z Scale";

inline constexpr const char* kEnterXScale = "Enter X Scale";
inline constexpr const char* kEnterYScale = "Enter Y Scale";
inline constexpr const char* kEnterZScale = "Enter Z Scale";
inline constexpr const char* kScalingFailed = "Error occured while scaling HOD!";
inline constexpr const char* kEnterXRotation = "Enter X Rotation (in degrees)";
inline constexpr const char* kEnterYRotation = "Enter Y Rotation (in degrees)";
inline constexpr const char* kEnterZRotation = "Enter Z Rotation (in degrees)";
inline constexpr const char* kRotateJoints = "Rotate Joints?";
inline constexpr const char* kRotatingFailed = "Error occured while rotating HOD!";

inline constexpr const char* kEnlargeBoundary = "Slightly enlarge BNDV? ( by 5% )";

}  // namespace gantry::editing_messages
