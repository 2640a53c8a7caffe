// Texts the background-mesh tools (mesh from texture, recolouring, texture generation) show or
// ask, kept in one place.
#pragma once

#include <array>

#include "common/shared_text.h"

namespace gantry::background_messages {

inline constexpr const char* kSelectObjectFirst = shared_text::kSelectObjectFirst;
inline constexpr const char* kMeshGenCaption = "Create MESH from Texture";
inline constexpr const char* kTexGenCaption = "Generate BGMS Texture";
inline constexpr const char* kConverting = shared_text::kConvertingToBmsh;
inline constexpr const char* kColourizing = "Colourizing BMSH...";
inline constexpr const char* kReady = shared_text::kReady;

// Mesh from texture.
inline constexpr const char* kPartsPrompt =
    "Enter number of desired parts (SHOULD BE VALUE OF N IN 2*4^N): ";
// Our own: a mesh holds at most 254 parts, so N stops at 3 (128 parts).
inline constexpr const char* kPartsTooMany =
    "N cannot be more than 3 ( a mesh holds at most 254 parts ). Assuming 3";
inline constexpr const char* kDensityPrompt =
    "Enter mesh density multiplier (higher=more dense base mesh): ";
inline constexpr const char* kSensitivityPrompt =
    "Enter colour sensitivity multiplier (higher=more dense output mesh): ";
inline constexpr const char* kTgaFilter =
    "Truevision Targa files (*.tga) |*.tga|All Files (*.*) |*.*";
inline constexpr const char* kInvalidTga = "Invalid TGA File. ";

// Texture generation.
inline constexpr const char* kFixWrapping = "Attempt to fix circular wrapping?";
inline constexpr const char* kSizePrompt =
    "Enter size multiplier for generated image: \r\n"
    "[ Ex. 0.25 will give image of size 512x256; \r\n"
    "[ Ex. 0.5 will give image of size 1024x512; \r\n"
    "[ Ex. 1 will give image of size 2048x1028; \r\n"
    "[ Ex. 2 will give image of size 4096x1024; etc. ] ";
inline constexpr const char* kSizeZero = "Size Multiplier cannot be 0. Assuming 1";
inline constexpr const char* kSizeTooLarge = "Size Multiplier cannot be more than 2. Assuming 2";
inline constexpr const char* kAlphaBlending = "Enable Alpha-blending?";
inline constexpr const char* kAntiAliasing = "Enable Anti-aliasing?";
inline constexpr const char* kDepthTest = "Enable Depth (Z) test?";
inline constexpr const char* kDoubleTone = "Double Tone Image?";
inline constexpr const char* kAdditionalFaces =
    "Create additional face(s) to account for spherical wrapping?\r\n(Usually Yes)";
inline constexpr const char* kDuplicateFaces =
    "Duplicate faces towards the top or bottom sides?\r\n"
    "(Usually Yes, but use No when faces overlap other faces)";
inline constexpr const char* kLowerPrompt =
    "Lower threshold for create faces, from the LEFT side (0-1): ";
inline constexpr const char* kUpperPrompt =
    "Upper threshold for create faces, from the RIGHT side (0-1): ";
inline constexpr const char* kLowerZero =
    "0 is an unacceptable value for lower threshold. Assuming 0.125";
inline constexpr const char* kUpperZero =
    "0 is an unacceptable value for upper threshold. Assuming 0.125";
// Each stands between the typed value and the value used instead.
inline constexpr const char* kLowerOutOfRange =
    " is an unacceptable value for lower threshold ( not between 0 and 1 ). Assuming ";
inline constexpr const char* kUpperOutOfRange =
    " is an unacceptable value for upper threshold ( not between 0 and 1 ). Assuming ";
inline constexpr const char* kSaveMeshes = "Save generated meshes? ( with UV co-ordinates )";

// The generator window.
inline constexpr const char* kGeneratorCaption = "BGMS Texture Generator";
inline constexpr const char* kCullModeLabel = "Triangle Cull Mode:";
inline constexpr std::array<const char*, 3> kCullModes = {"None", "Clock-wise",
                                                          "Counter Clock-wise"};
inline constexpr const char* kSaveTexture = "Save Texture";
inline constexpr const char* kBmpFilter = "24-bit Bitmap (*.BMP)|*.BMP|All files (*.*)|*.*";
// Shown before the path and the system's reason when the bitmap could not be written.
inline constexpr const char* kCannotWrite = "Cannot write ";

}  // namespace gantry::background_messages
