// Texts of the Materials tab, kept in one place.
#pragma once

#include "common/shared_text.h"

namespace gantry::material_messages {

inline constexpr const char* kSelectMaterialFirst =
    "Please select a material in material secion first!";
inline constexpr const char* kRemovingLastForm = shared_text::kRemovingLastForm;

inline constexpr const char* kChooseShaderToolTip =
    "Automatically creates the required paramters by parsing the given shader script (*.st) for "
    "the selected material";
inline constexpr const char* kShaderFilter = "Homeworld2 Shaders (*.st) |*.st|All Files (*.*) |*.*";
inline constexpr const char* kTextureDeclaration = "static Texture";

inline constexpr const char* kParameterTypePrompt =
    "What type of paramter?\r\n\t ( 0 = Cancel \r\n\t ( 4 = Colour Only \r\n\t ( 5 = Texture ";
inline constexpr const char* kParameterNamePrompt = "Name of paramter";

inline constexpr const char* kColourParamEntry = "ColourParam";
inline constexpr const char* kUnnamedParamEntry = "UnnamedParam";
inline constexpr const char* kMissingTextureLink =
    "Warning! Missing Texture link detected. Please fix.";

inline constexpr const char* kShaderPlaceholder = "Shader Name";

inline constexpr const char* kNewMaterialName = "Material_";
inline constexpr const char* kNewMaterialShader = shared_text::kDefault;

// Ours: a file that cannot be read, and the most parameters a HOD can carry per material.
inline constexpr const char* kShaderUnreadable = "Could not read the shader script ";
inline constexpr const char* kTooManyParameters =
    "A material can hold at most 254 parameters; the rest were not added.";

}  // namespace gantry::material_messages
