// Texts the texture import, export and preview show or write, kept in one place.
#pragma once

#include "common/shared_text.h"

namespace gantry::texture_messages {

inline constexpr const char* kReplaceFilter =
    "Direct Draw Surface textures (*.DDS) |*.DDS|Truevision Targa (*.TGA) |*.TGA|All files (*.*) "
    "|*.*";
inline constexpr const char* kNoTag =
    "This file has no '[x]' tag. Please make sure that you give them a '[x]' tag";
inline constexpr const char* kUnknownTextureFormat = "Unknown texture format: ";

// TGA import.
inline constexpr const char* kNot32Bit =
    "This TGA either isn't a 32bit TGA or it doesn't have 8bits per channel";
inline constexpr const char* kTooSmall =
    "This TGA is too small. Please make sure that your TGA has atleast 2 pixels in 32BPP";
inline constexpr const char* kInvalidFooter =
    "The TGA File doesn't seem to be valid ( corrupt TGA ? )\r\n [ Invalid Footer: ";
inline constexpr const char* kInvalidFooterEnd = " ]";
inline constexpr const char* kTgaSignature = "TRUEVISION-XFILE.";

// DDS export and preview.
inline constexpr const char* kUnknownPixelFormat = "Unknown Pixel Format: ";
inline constexpr const char* kDdsMagic = "DDS ";

// Names given on import and export.
inline constexpr const char* kPsd = ".PSD";
inline constexpr const char* kTgaExtension = ".TGA";
inline constexpr const char* kDdsExtension = shared_text::kDdsExtension;

// Preview.
inline constexpr const char* kPreviewFileName = "GNTR_Temp";
inline constexpr const char* kCouldntExtract =
    "Couldn't extract texture to temporary location for preview!";
inline constexpr const char* kUnknownPreviewFormat = "Unknown pixel format: ";
inline constexpr const char* kCoudntLocate =
    "Coudn't locate the texture which was extracted temporarily!";

// Ours: files that cannot be opened, read or written, and textures that cannot be shown.
inline constexpr const char* kCannotOpen = "Could not open the texture file ";
inline constexpr const char* kDamaged =
    "This texture file is damaged or cut short, so nothing "
    "was imported: ";
inline constexpr const char* kCannotWrite = "Could not write the texture file ";
inline constexpr const char* kCannotShow = "The texture cannot be shown: ";

// Pictures from image editors and their encoding.
inline constexpr const char* kImageEmpty = "the file is empty";
inline constexpr const char* kImageUnknown = "not a PNG, JPEG, TGA, BMP or PSD picture";
inline constexpr const char* kImageZeroSize = "the picture has no pixels (a zero width or height)";
inline constexpr const char* kImageTooLarge = "the picture is larger than 16384 pixels on a side";
inline constexpr const char* kImageDamaged = "the picture is damaged: ";
inline constexpr const char* kImageCutShort = "the file is shorter than its size calls for";
inline constexpr const char* kReasonOpaque = "no alpha: every pixel is opaque";
inline constexpr const char* kReasonCutoutDxt1 =
    "alpha is only 0 or 255 and the material cuts out: DXT1's one-bit alpha";
inline constexpr const char* kReasonCutoutDxt5 =
    "alpha is only 0 or 255 but the material does not cut out: DXT5 keeps it exactly";
inline constexpr const char* kReasonGradedAlpha = "graded alpha";

}  // namespace gantry::texture_messages
