// Texts the HOD reader shows or logs, kept in one place.
#pragma once

#include "common/shared_text.h"

namespace gantry::messages {

inline constexpr const char* kReadingHod = "Reading HOD...";
inline constexpr const char* kReadingComplete = "Reading Complete.";
inline constexpr const char* kSuccessBanner1 = "+==============================================+";
inline constexpr const char* kSuccessBanner2 =
    "||                  SUCCESSFULLY READ HOD!                          ||";
inline constexpr const char* kSuccessBanner3 = kSuccessBanner1;
inline constexpr const char* kReadingFile = "Reading file...";
inline constexpr const char* kReady = shared_text::kReady;
inline constexpr const char* kUntitled = "Untitled";

inline constexpr const char* kUnknownChunk = "Unknown chunk: ";
inline constexpr const char* kSkipping = "Skipping ";
inline constexpr const char* kBytesEllipsis = " bytes...";
inline constexpr const char* kBeyondEofNullForm =
    "Error: Trying to read beyond EOF ( reading NULL form )";
inline constexpr const char* kBeyondEof = "Error: Trying to read beyond EOF";
inline constexpr const char* kInvalidFaceList =
    "Invalid indentification data (list\\strip) for list\\strip number ";

}  // namespace gantry::messages
