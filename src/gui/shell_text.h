// The main window's, editor form's and dialogs' own messages and captions (menus, status texts
// and tool tips are in the string table).
#pragma once

#include "common/shared_text.h"

namespace gantry::shell_text {

inline constexpr const char* kFileMissing = "Selected file doesn't exist!";
inline constexpr const char* kZeroLengthLead = "Error! File '";
inline constexpr const char* kZeroLengthTail = "' is a zero length file (!)\r\nExiting...";
inline constexpr const char* kNewCaption = "New HOD Attributes...";
inline constexpr const char* kAttributesCaption = "HOD Attributes";
inline constexpr const char* kVersionNotNumeric =
    "HOD Version is not a numerical value. Please correct.";
inline constexpr const char* kVersionNotWhole =
    "HOD Version is not a integeral value. Please correct.";
inline constexpr const char* kRemovingOldLog = "Removing Old Log file...";
inline constexpr const char* kQuitting = "Quitting...";
inline constexpr const char* kValidationPassed = "The HOD passes every check and can be saved.";
inline constexpr const char* kSaveChangesLead = "Save the changes to ";
inline constexpr const char* kSaveChangesTail = " before closing?";
inline constexpr const char* kSaveChangesBeforeNew = " before starting a new HOD?";
inline constexpr const char* kSaveChangesBeforeOpen = " before opening another file?";
inline constexpr const char* kHodSuffix = ".hod";
inline constexpr const char* kCleanup = "Doing cleanup";
inline constexpr const char* kNoWarnings = "No warning(s) occured.";
inline constexpr const char* kNoErrors = "No error(s) occured.";
inline constexpr const char* kObjectName = shared_text::kObjectName;
inline constexpr const char* kStrfGroupFamily = "STRF Group:";
inline constexpr const char* kBgsgGroupFamily = "BGSG Group:";
inline constexpr const char* kStarFieldGroup = "Star Field Group ";
inline constexpr const char* kBackgroundStarGroup = "Background Star Group ";
inline constexpr const char* kCollisionSuffix = "_CM";
inline constexpr const char* kSimpleMeshEntry = "Unnamed_SIMP_Mesh";
inline constexpr const char* kWireMeshEntry = shared_text::kWireMesh;
inline constexpr const char* kBackgroundPart = shared_text::kBackgroundPart;
inline constexpr const char* kHodFilter =
    "HW2 Geometry Files (*.HOD) | *.hod|All Files (*.*) | *.*";
inline constexpr const char* kScriptFilter = "HOD Scripts (*.HSC)|*.HSC|All files (*.*)|*.*";
inline constexpr const char* kAboutText =
    "Gantry HOD Editor\n\nAn editor for Homeworld 2 HOD model files: meshes, textures, "
    "materials, joints, markers, dock paths, engines, lights, star fields and more.";
inline constexpr const char* kAboutVersion = "\n\nVersion ";

// The options dialog.
inline constexpr const char* kOptionsCaption = "Options";
inline constexpr const char* kDebugOff = "Off";
inline constexpr const char* kDebugOn = "On";
inline constexpr const char* kDebugCurrentValue = "Current Value:";
inline constexpr const char* kDebugExplanation =
    "Select the level of debugging logging that you want. \"Off\" will display least debubbing "
    "text resulting in higher speeds and \"on\" will display debugging text, but will result in "
    "slower operations (This intended for debugging purposes)";
inline constexpr const char* kSoftware = "Use Software Rendering only";
inline constexpr const char* kSoftwareTip =
    "Use this if you don't have a hardware accelerator present ( graphic card )";
inline constexpr const char* kHardware = "Use Hardware Rendering when available";
inline constexpr const char* kHardwareTip =
    "Use this if you have a hardware accelerator present ( graphic card )";
inline constexpr const char* kPureDevice = "Use Pure Device when available";
inline constexpr const char* kNone = "Don't use filtering";
inline constexpr const char* kNoneTip =
    "Use this if you don't have a hardware accelerator present ( graphic card ), or if the clock "
    "speed of you processor is less.";
inline constexpr const char* kBilinear = "Use Bilinear Filter when available";
inline constexpr const char* kAnisotropic = "Use Anisotrophic Filtering when available";
inline constexpr const char* kAnisotropicTip =
    "Use this if you have good hardware accelerator ( graphic card )";
inline constexpr const char* kAutoRes = "Auto determine best available resolution";
inline constexpr const char* kAutoResTip =
    "Use this if you have a hardware accelerator present ( graphic card ), or if you have a "
    "processor with a good clock speed";
inline constexpr const char* kHiRes = "Hi-Resolution Mode";
inline constexpr const char* kHiResTip =
    "Use this if you want Gantry to use max. possible resolution supported ( usually the screen "
    "resolution )";
inline constexpr const char* kApply = "Apply";
inline constexpr const char* kCancel = shared_text::kCancel;

}  // namespace gantry::shell_text
