// The Materials tab: adding and removing materials and their parameters, setting a material's
// parameters up from a shader script (".st"), and what its parameter boxes show.
// Materials and parameters are numbered from 0 here; nullopt means nothing is selected.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/command_result.h"
#include "common/debug_log.h"
#include "common/ui.h"
#include "hod/model.h"
#include "hod/reader_limits.h"

namespace gantry {

// Appends "Material_<n>" with shader "default" and no parameters; selects it.
CommandResult AddMaterial(HodModel& model);
// Later materials move down one place. Meshes keep their material numbers (validation reports
// the ones that no longer resolve).
CommandResult RemoveMaterial(HodModel& model, std::optional<std::size_t> material, DebugLog& log,
                             Ui& ui);

// Asks for a shader script, names the material's shader after the file and replaces its
// parameters by one texture parameter per "static Texture" line. An unreadable file changes
// nothing. Keeps the material selected.
CommandResult ChooseShader(HodModel& model, std::optional<std::size_t> material, Ui& ui);
// The layer names a script declares, in order (lines trimmed; CR LF, LF or CR line ends).
std::vector<std::string> DeclaredTextureLayers(std::string_view script);

// Asks the parameter's type (0 cancels, 4 colour, anything else a texture, whose name is asked).
CommandResult AddParameter(HodModel& model, std::optional<std::size_t> material, Ui& ui);
// Later parameters move down one place.
CommandResult RemoveParameter(HodModel& model, std::optional<std::size_t> material,
                              std::optional<std::size_t> parameter);

// The parameter list of a material: "ColourParam<n>", the layer name or "UnnamedParam<n>"
// (n counted from 1 over all parameters); parameters of other types are not listed, so each
// entry says which parameter it stands for.
struct ParameterEntry {
  std::string text;
  std::size_t parameter = 0;
  friend bool operator==(const ParameterEntry&, const ParameterEntry&) = default;
};
std::vector<ParameterEntry> ParameterEntries(const Material& material);

// What selecting a parameter shows: a colour enables the four colour boxes (0 to 255) and
// disables the texture chooser; anything else the other way round. A texture index that names
// no texture of the model is warned about.
struct ParameterView {
  bool colour = false;
  std::array<std::string, 4> colour_texts;
  std::int32_t texture_index = 0;
};
ParameterView ShowParameter(const HodModel& model, const MaterialParameter& parameter, Ui& ui);
std::array<std::string, 4> ColourBoxTexts(const ColourRGBA& colour);

// The texture chooser's position becomes the texture index.
void ChooseParameterTexture(MaterialParameter& parameter, int position);

void SetMaterialShader(Material& material, std::string_view shader);

}  // namespace gantry
