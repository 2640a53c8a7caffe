// Texts the glTF export and import show, kept in one place.
#pragma once

namespace gantry::gltf_messages {

inline constexpr const char* kNotGltf = "not a glTF file: ";
inline constexpr const char* kNoScene = "the file has no nodes to import";
inline constexpr const char* kBadAccessor = "accessor {} is not usable: {}";
inline constexpr const char* kOutOfRange = "its data runs past the end of its buffer";
inline constexpr const char* kWrongType = "its type is not what {} needs";
inline constexpr const char* kSparse = "sparse accessors are not read";
inline constexpr const char* kNonFinite = "it holds a number that is not finite";
inline constexpr const char* kIndexOutOfRange = "an index names a vertex that is not there";
inline constexpr const char* kBadReference = "{} {} names a {} that is not there";
inline constexpr const char* kBadExtras = "Gantry's data on {} is damaged: {}";
inline constexpr const char* kNoPositions = "a primitive of mesh {} has no positions";
inline constexpr const char* kSkippedMode = "mesh {}: points and lines are not imported";
inline constexpr const char* kNotCarried = "{}: only Gantry's own files bring this element back";
inline constexpr const char* kMatrixNode =
    "node {}: its matrix was taken apart into move, turn and scale";
inline constexpr const char* kMissingLevel = "mesh {}: levels of detail were renumbered from 0";
inline constexpr const char* kImageTooLarge = "an image is larger than the textures Gantry takes";
inline constexpr const char* kImageUndecodable = "image {} could not be decoded: {}";
inline constexpr const char* kImageMissing = "image {} ({}) is missing or cannot be decoded";
inline constexpr const char* kNoExternalFiles = "external files cannot be read here: {}";
inline constexpr const char* kExternalFileLead = "cannot read ";

}  // namespace gantry::gltf_messages
