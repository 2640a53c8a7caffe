#include "commands/materials.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include "commands/material_messages.h"
#include "common/number_parse.h"
#include "common/number_text.h"
#include "common/paths.h"

namespace gantry {

namespace msg = material_messages;

namespace {

constexpr std::int32_t kNewMaterialVersion = 1001;
constexpr std::int32_t kColourDataSize = 16;
constexpr std::int32_t kTextureDataSize = 4;

std::int32_t LengthOf(const std::string& text) { return static_cast<std::int32_t>(text.size()); }

void SyncParameterCount(Material& material) {
  material.ParameterCount = static_cast<std::int32_t>(material.Parameters.size());
}

Material* Selected(HodModel& model, std::optional<std::size_t> material) {
  return material && *material < model.Materials.size() ? &model.Materials[*material] : nullptr;
}

MaterialParameter TextureParameter(std::string name) {
  MaterialParameter p;
  p.Type = kParameterTexture;
  p.DataSize = kTextureDataSize;
  p.TextureIndex = 0;
  p.LayerNameLength = LengthOf(name);
  p.LayerName = std::move(name);
  return p;
}

// Tabs count as blanks too: scripts are indented either way.
std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<std::string> ReadScript(const std::string& path) {
  const std::filesystem::path native = FileSystemPath(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(native, error)) return std::nullopt;
  std::ifstream in(native, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return text;
}

}  // namespace

CommandResult AddMaterial(HodModel& model) {
  Material m;
  m.Kind = "NRML";
  m.Length = 0;
  m.ID = "STAT";
  m.Version = kNewMaterialVersion;
  m.Name = msg::kNewMaterialName + std::to_string(model.Materials.size() + 1);
  m.NameLength = LengthOf(m.Name);
  m.ShaderName = msg::kNewMaterialShader;
  m.ShaderLength = LengthOf(m.ShaderName);
  m.ParameterCount = 0;
  model.Materials.push_back(std::move(m));
  return CommandResult::Changed(model.Materials.size() - 1);
}

CommandResult RemoveMaterial(HodModel& model, std::optional<std::size_t> material, DebugLog& log,
                             Ui& ui) {
  if (Selected(model, material) == nullptr) {
    ui.Message(msg::kSelectMaterialFirst, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  log.Log(msg::kRemovingLastForm);
  model.Materials.erase(model.Materials.begin() + static_cast<std::ptrdiff_t>(*material));
  return CommandResult::Changed();
}

std::vector<std::string> DeclaredTextureLayers(std::string_view script) {
  const std::string_view declaration = msg::kTextureDeclaration;
  std::vector<std::string> layers;
  while (!script.empty()) {
    const auto end = script.find_first_of("\r\n");
    const std::string_view line = Trimmed(script.substr(0, end));
    if (end == std::string_view::npos) {
      script = {};
    } else {
      // CR LF is one line end; a lone CR or LF is one too.
      const bool crlf = script[end] == '\r' && end + 1 < script.size() && script[end + 1] == '\n';
      script.remove_prefix(end + (crlf ? 2 : 1));
    }
    if (line.starts_with(declaration)) {
      // The declaration and the one character after it go; what is left is the layer's name.
      const std::size_t cut = std::min(line.size(), declaration.size() + 1);
      layers.emplace_back(Trimmed(line.substr(cut)));
    }
  }
  return layers;
}

CommandResult ChooseShader(HodModel& model, std::optional<std::size_t> material, Ui& ui) {
  Material* m = Selected(model, material);
  if (m == nullptr) {
    ui.Message(msg::kSelectMaterialFirst, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  const std::optional<std::string> path = ui.OpenFile(msg::kShaderFilter, "");
  if (!path || path->empty()) return CommandResult::Unchanged();
  // Read before touching the material, so a file that cannot be read changes nothing.
  const std::optional<std::string> script = ReadScript(*path);
  if (!script) {
    ui.Message(msg::kShaderUnreadable + *path, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  std::vector<std::string> layers = DeclaredTextureLayers(*script);
  if (static_cast<std::int64_t>(layers.size()) > kMaxMaterialParameters) {
    ui.Message(msg::kTooManyParameters, Icon::Exclamation);
    layers.resize(static_cast<std::size_t>(kMaxMaterialParameters));
  }
  m->ShaderName = BaseName(*path);
  m->ShaderLength = LengthOf(m->ShaderName);
  m->Parameters.clear();
  for (std::string& layer : layers) m->Parameters.push_back(TextureParameter(std::move(layer)));
  SyncParameterCount(*m);
  return CommandResult::Changed(material);
}

CommandResult AddParameter(HodModel& model, std::optional<std::size_t> material, Ui& ui) {
  Material* m = Selected(model, material);
  if (m == nullptr) {
    ui.Message(msg::kSelectMaterialFirst, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  if (static_cast<std::int64_t>(m->Parameters.size()) >= kMaxMaterialParameters) {
    ui.Message(msg::kTooManyParameters, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  const std::optional<std::string> answer = ui.Input(msg::kParameterTypePrompt, "");
  const double type = answer ? LeadingNumber(*answer) : 0;
  if (type == 0) return CommandResult::Unchanged();
  if (type == kParameterColour) {
    MaterialParameter p;
    p.Type = kParameterColour;
    p.DataSize = kColourDataSize;
    p.Colour = {1, 1, 1, 1};
    p.TextureIndex = -1;
    m->Parameters.push_back(p);
  } else {
    // A cancelled name question still adds the parameter, unnamed.
    m->Parameters.push_back(
        TextureParameter(ui.Input(msg::kParameterNamePrompt, "").value_or(std::string())));
  }
  SyncParameterCount(*m);
  return CommandResult::Changed();
}

CommandResult RemoveParameter(HodModel& model, std::optional<std::size_t> material,
                              std::optional<std::size_t> parameter) {
  Material* m = Selected(model, material);
  if (m == nullptr || !parameter || *parameter >= m->Parameters.size()) {
    return CommandResult::Unchanged();
  }
  m->Parameters.erase(m->Parameters.begin() + static_cast<std::ptrdiff_t>(*parameter));
  SyncParameterCount(*m);
  return CommandResult::Changed();
}

std::vector<ParameterEntry> ParameterEntries(const Material& material) {
  std::vector<ParameterEntry> entries;
  for (std::size_t i = 0; i < material.Parameters.size(); ++i) {
    const MaterialParameter& p = material.Parameters[i];
    const std::string number = std::to_string(i + 1);
    if (p.Type == kParameterColour) {
      entries.push_back({msg::kColourParamEntry + number, i});
    } else if (p.Type == kParameterTexture) {
      entries.push_back({p.LayerName.empty() ? msg::kUnnamedParamEntry + number : p.LayerName, i});
    }
  }
  return entries;
}

std::array<std::string, 4> ColourBoxTexts(const ColourRGBA& colour) {
  // In singles, so a stored 128 / 255 shows as 128 again.
  auto text = [](float value) { return NumberText(static_cast<float>(value * 255.0f)); };
  return {text(colour.r), text(colour.g), text(colour.b), text(colour.a)};
}

ParameterView ShowParameter(const HodModel& model, const MaterialParameter& parameter, Ui& ui) {
  ParameterView view;
  view.texture_index = parameter.TextureIndex;
  if (parameter.Type == kParameterColour) {
    view.colour = true;
    view.colour_texts = ColourBoxTexts(parameter.Colour);
  } else if (parameter.TextureIndex < 0 ||
             static_cast<std::size_t>(parameter.TextureIndex) >= model.Textures.size()) {
    ui.Message(msg::kMissingTextureLink, Icon::Exclamation);
  }
  return view;
}

void ChooseParameterTexture(MaterialParameter& parameter, int position) {
  parameter.TextureIndex = position;
}

void SetMaterialShader(Material& material, std::string_view shader) {
  material.ShaderName = shader;
  material.ShaderLength = LengthOf(material.ShaderName);
}

}  // namespace gantry
