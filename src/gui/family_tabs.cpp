#include "gui/family_tabs.h"

#include <QDir>

#include "commands/background_meshes.h"
#include "commands/bounding_volumes.h"
#include "commands/create.h"
#include "commands/keyframes.h"
#include "commands/materials.h"
#include "commands/mesh_conversion.h"
#include "commands/remove.h"
#include "commands/replace_commands.h"
#include "commands/texture_commands.h"
#include "commands/transforms.h"
#include "common/shared_text.h"
#include "geometry/mesh_triangles.h"
#include "gui/editor_form.h"
#include "gui/qt_ui.h"
#include "gui/shell_text.h"
#include "gui/string_table.h"
#include "gui/texture_import_dialog.h"
#include "gui/tool_dialogs.h"
#include "gui/widgets.h"
#include "hod/model.h"
#include "hod/validate.h"
#include "hod/validate_messages.h"
#include "hod/workspace.h"
#include "interchange/element_export.h"
#include "interchange/obj_export.h"

namespace gantry {
namespace {

namespace text = shell_text;
using Selection = std::optional<std::size_t>;
using Command = TabDescription::Command;

// What a level of detail holds, in a few words.
QString LodSummary(const std::vector<LodMesh>& lods) {
  std::size_t parts = 0, vertices = 0, triangles = 0;
  for (const LodMesh& lod : lods) {
    parts += lod.Parts.size();
    for (const MeshPart& part : lod.Parts) {
      vertices += part.Vertices.size();
      triangles += PartTriangles(part).size();
    }
  }
  return QStringLiteral("%1 level(s), %2 part(s), %3 vertices, %4 triangles")
      .arg(lods.size())
      .arg(parts)
      .arg(vertices)
      .arg(triangles);
}

// Exports change nothing in the model.
CommandResult Exported(bool) { return CommandResult::Unchanged(); }
// Commands that say only whether they changed the element keep it selected.
CommandResult Changed(bool changed, Selection s) {
  return changed ? CommandResult::Changed(s) : CommandResult::Unchanged();
}

TabDescription Describe(const char* caption, const char* list_name) {
  TabDescription desc;
  desc.caption = caption;
  desc.list_name = list_name;
  return desc;
}
const char* Request(int entry) { return strings::Entry(entry).data(); }

// Count and list entry of a family whose elements have a Name.
template <typename Family>
void ListedByName(TabDescription& desc, Family family) {
  desc.count = [family](HodModel& m) { return family(m).size(); };
  desc.entry = [family](HodModel& m, std::size_t i) { return ToQt(family(m)[i].Name); };
}

template <typename Family>
void NameBoxOf(TabDescription& desc, Family family, const char* box, int request, bool unique) {
  desc.name_box = box;
  desc.select_first = Request(request);
  desc.unique_names = unique;
  desc.name = [family](HodModel& m, std::size_t i) { return family(m)[i].Name; };
  desc.set_name = [family](HodModel& m, std::size_t i, const std::string& name) {
    auto& element = family(m)[i];
    element.Name = name;
    element.NameLength = static_cast<std::int32_t>(name.size());
  };
}

template <typename Family>
void ParentBoxOf(TabDescription& desc, Family family, const char* box) {
  desc.parent_box = box;
  desc.parent = [family](HodModel& m, std::size_t i) { return family(m)[i].ParentName; };
  desc.set_parent = [family](HodModel& m, std::size_t i, const std::string& parent) {
    auto& element = family(m)[i];
    element.ParentName = parent;
    element.ParentLength = static_cast<std::int32_t>(parent.size());
  };
}

// "x", "y", "z" fields of a vector member reached through `vec(model, element)`.
template <typename Vec>
void VectorFields(TabDescription& desc, const char* label, const char* box_stem, int first,
                  const FieldRule& rule, Vec vec, bool degrees = false) {
  const char* axes[] = {" X", " Y", " Z"};
  for (int axis = 0; axis < 3; ++axis) {
    QString name = QString::fromLatin1(box_stem) + QString::number(first + axis);
    desc.numbers.push_back(Number(
        QString::fromLatin1(label) + QString::fromLatin1(axes[axis]), std::move(name), rule,
        [ vec, axis ](HodModel & m, std::size_t i) -> auto& {
          auto& v = vec(m, i);
          return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
        },
        degrees));
  }
}

}  // namespace

TabDescription TexturesTab() {
  TabDescription desc = Describe("Textures", "lstTextures");
  desc.count = [](HodModel& m) { return m.Textures.size(); };
  desc.entry = [](HodModel& m, std::size_t i) { return ToQt(m.Textures[i].FileName); };
  desc.details = [](HodModel& m, std::size_t i) {
    const Texture& t = m.Textures[i];
    return QStringLiteral("%1, %2 x %3, %4 mip level(s)")
        .arg(ToQt(t.Format.view()))
        .arg(t.Width)
        .arg(t.Height)
        .arg(t.MipLevels.size());
  };
  desc.commands = {
      {"cmdLMIPAdd", Caption(300),
       [](Workspace& w, Selection, Ui&) { return AddTexture(w.model); }},
      {"cmdLMIPRemove", Caption(301),
       [](Workspace& w, Selection s, Ui& ui) { return RemoveTexture(w, s, ui); }},
      {"cmdLMIPReplace",
       Caption(26),
       {},
       [](EditorForm& form, Selection s) {
         // Any picture, through the import dialog, in place of the selected texture.
         if (!s) return ReplaceTexture(form.workspace().model, s, form.ui());
         return ImportTextureImages(&form, form.workspace(), form.ui(), s);
       }},
      {"cmdLMIPPreview",
       Caption(29),
       {},
       [](EditorForm& form, Selection s) {
         // The preview file goes to the temporary folder and is removed again at once.
         const QString temp =
             qEnvironmentVariableIsEmpty("TEMP") ? QDir::tempPath() : qEnvironmentVariable("TEMP");
         const auto image = PreviewTexture(form.workspace().model, s, PathFromQt(temp), form.ui());
         if (image) {
           TexturePreview preview(*image, ToQt(form.workspace().model.Textures[*s].FileName),
                                  &form);
           preview.exec();
         }
         return CommandResult::Unchanged();
       }},
      {"cmdLMIPExport", Caption(303),
       [](Workspace& w, Selection s, Ui& ui) {
         ExportSelectedTexture(w, s, ui);
         return CommandResult::Unchanged();
       }},
  };
  return desc;
}

TabDescription MaterialsTabDescription() {
  TabDescription desc = Describe("Materials", "lstMaterials");
  const auto family = [](HodModel & m) -> auto& { return m.Materials; };
  ListedByName(desc, family);
  NameBoxOf(desc, family, "txtSTATName", 20, true);
  desc.list_skips_check = true;
  desc.commands = {
      {"cmdSTATAdd", Caption(300),
       [](Workspace& w, Selection, Ui&) { return AddMaterial(w.model); }},
      {"cmdSTATRemove", Caption(301),
       [](Workspace& w, Selection s, Ui& ui) { return RemoveMaterial(w.model, s, w.log, ui); }},
  };
  return desc;
}

TabDescription GeometryTab() {
  TabDescription desc = Describe("Geometry", "lstGeometry");
  const auto family = [](HodModel & m) -> auto& { return m.Meshes; };
  ListedByName(desc, family);
  NameBoxOf(desc, family, "txtGeomName", 21, true);
  desc.list_skips_check = true;
  ParentBoxOf(desc, family, "cboGeomParent");
  desc.details = [](HodModel& m, std::size_t i) { return LodSummary(m.Meshes[i].Lods); };
  desc.commands = {
      {"cmdGeomAdd", Caption(300), [](Workspace& w, Selection, Ui&) { return AddMesh(w.model); }},
      {"cmdGeomRemove", Caption(301),
       [](Workspace& w, Selection s, Ui& ui) { return RemoveMesh(w, s, ui); }},
      {"cmdGeomMove0", Caption(15),
       [](Workspace& w, Selection s, Ui& ui) { return MoveMesh(w, s, MeshMove::Up, ui); }},
      {"cmdGeomMove1", Caption(16),
       [](Workspace& w, Selection s, Ui& ui) { return MoveMesh(w, s, MeshMove::Down, ui); }},
      {"cmdGeomExport", Caption(303),
       [](Workspace& w, Selection s, Ui& ui) {
         return Exported(ExportGeometrySelected(w, s, ui));
       }},
      {"cmdGeomTransform", Caption(13),
       [](Workspace& w, Selection s, Ui& ui) {
         return Changed(TranslateMeshCommand(w.model, s, ui), s);
       }},
      {"cmdGeomRotate", Caption(22),
       [](Workspace& w, Selection s, Ui& ui) {
         return Changed(RotateMeshCommand(w.model, s, ui), s);
       }},
      {"cmdScaleGeometry", Caption(14),
       [](Workspace& w, Selection s, Ui& ui) {
         return Changed(ScaleMeshCommand(w.model, s, ui), s);
       }},
  };
  return desc;
}

TabDescription ScarMeshesTab() {
  TabDescription desc = Describe("BSRM", "lstBSRM");
  desc.count = [](HodModel& m) { return m.ScarMeshes.size(); };
  desc.entry = [](HodModel& m, std::size_t i) { return ToQt(m.ScarMeshes[i].Description.Name); };
  desc.details = [](HodModel& m, std::size_t i) {
    const ScarMesh& scar = m.ScarMeshes[i];
    return QStringLiteral("%1 vertices, %2 triangles, grid %3 x %4 x %5")
        .arg(scar.Triangles.Vertices.size())
        .arg(scar.Triangles.Indices.size() / 3)
        .arg(scar.Grid.SizeX)
        .arg(scar.Grid.SizeY)
        .arg(scar.Grid.SizeZ);
  };
  const auto box = [](HodModel & m, std::size_t i) -> auto& { return m.ScarMeshes[i].Box; };
  VectorFields(
      desc, "Box minimum", "txtBSRMBBOXData", 0,
      kNumberField, [box](HodModel & m, std::size_t i) -> auto& { return box(m, i).Minimum; });
  VectorFields(
      desc, "Box maximum", "txtBSRMBBOXData", 3,
      kNumberField, [box](HodModel & m, std::size_t i) -> auto& { return box(m, i).Maximum; });
  VectorFields(
      desc, "Sphere centre", "txtBSRMBSPHData", 0, kNumberField,
      [](HodModel & m, std::size_t i) -> auto& { return m.ScarMeshes[i].Sphere.Centre; });
  desc.numbers.push_back(Number(
      "Sphere radius", QStringLiteral("txtBSRMBSPHData3"), kNumberField,
      [](HodModel & m, std::size_t i) -> auto& { return m.ScarMeshes[i].Sphere.Radius; }));
  desc.commands = {
      {"cmdBSRMReplace", Caption(26),
       [](Workspace& w, Selection s, Ui& ui) { return ReplaceScarMesh(w.model, s, ui); }},
      {"cmdBSRMExport", Caption(303),
       [](Workspace& w, Selection s, Ui& ui) { return Exported(ExportScarMeshOBJ(w, s, ui)); }},
      {"cmdBSRMBBOXAutoCalc", QStringLiteral("Calculate box"),
       [](Workspace& w, Selection s, Ui& ui) {
         return Changed(ScarBoxCommand(w.model, s, ui), s);
       }},
      {"cmdBSRMBSPHAutoCalc", QStringLiteral("Calculate sphere"),
       [](Workspace& w, Selection s, Ui& ui) {
         return Changed(ScarSphereCommand(w.model, s, ui), s);
       }},
      {"cmdBSRMSSUBRegen", QStringLiteral("Build grid"),
       [](Workspace& w, Selection s, Ui& ui) {
         if (!s || *s >= w.model.ScarMeshes.size()) {
           ui.Message(shared_text::kSelectObjectFirst, Icon::Exclamation);
           return CommandResult::Unchanged();
         }
         BuildScarGrid(w.model.ScarMeshes[*s]);
         return CommandResult::Changed(s);
       }},
      {"cmdBSRMSSUBDelete", QStringLiteral("Reset grid"),
       [](Workspace& w, Selection s, Ui& ui) { return ResetScarGrid(w.model, s, ui); }},
  };
  return desc;
}

TabDescription CollisionMeshesTab() {
  TabDescription desc = Describe("CM", "lstCOLD");
  const auto family = [](HodModel & m) -> auto& { return m.CollisionMeshes; };
  desc.count = [family](HodModel& m) { return family(m).size(); };
  desc.entry = [family](HodModel& m, std::size_t i) {
    return ToQt(family(m)[i].ParentName) + QString::fromLatin1(text::kCollisionSuffix);
  };
  ParentBoxOf(desc, family, "cboCOLDParent");
  VectorFields(
      desc, "Box minimum", "txtCOLDBBOXData", 0, kValidNumberField,
      [](HodModel & m, std::size_t i) -> auto& { return m.CollisionMeshes[i].Box.Minimum; });
  VectorFields(
      desc, "Box maximum", "txtCOLDBBOXData", 3, kValidNumberField,
      [](HodModel & m, std::size_t i) -> auto& { return m.CollisionMeshes[i].Box.Maximum; });
  VectorFields(
      desc, "Sphere centre", "txtCOLDBSPHData", 0, kValidNumberField,
      [](HodModel & m, std::size_t i) -> auto& { return m.CollisionMeshes[i].Sphere.Centre; });
  desc.numbers.push_back(Number(
      "Sphere radius", QStringLiteral("txtCOLDBSPHData3"), kValidNumberField,
      [](HodModel & m, std::size_t i) -> auto& { return m.CollisionMeshes[i].Sphere.Radius; }));
  desc.commands = {
      {"cmdCOLDAdd", Caption(300),
       [](Workspace& w, Selection, Ui&) { return AddCollisionMesh(w.model); }},
      {"cmdCOLDRemove", Caption(301),
       [](Workspace& w, Selection s, Ui&) { return RemoveCollisionMesh(w, s); }},
      {"cmdCOLDReplace", Caption(26),
       [](Workspace& w, Selection s, Ui& ui) { return ReplaceCollisionMesh(w.model, s, ui); }},
      {"cmdCOLDExport", Caption(303),
       [](Workspace& w, Selection s, Ui& ui) {
         return Exported(ExportCollisionMeshOBJ(w, s, ui));
       }},
      {"cmdCOLDBBOXAutoCalc", QStringLiteral("Calculate box"),
       [](Workspace& w, Selection s, Ui& ui) {
         return Changed(CollisionBoxCommand(w.model, s, ui), s);
       }},
      {"cmdCOLDBSPHAutoCalc", QStringLiteral("Calculate sphere"),
       [](Workspace& w, Selection s, Ui& ui) {
         return Changed(CollisionSphereCommand(w.model, s, ui), s);
       }},
  };
  return desc;
}

TabDescription MarkersTabDescription() {
  TabDescription desc = Describe("Markers", "lstMarkers");
  const auto family = [](HodModel & m) -> auto& { return m.Markers; };
  ListedByName(desc, family);
  NameBoxOf(desc, family, "txtMRKRName", 28, true);
  ParentBoxOf(desc, family, "cboMRKRParent");
  const char* labels[] = {"Position X", "Position Y", "Position Z",
                          "Rotation X", "Rotation Y", "Rotation Z"};
  for (int k = 0; k < 6; ++k) {
    desc.numbers.push_back(Number(
        labels[k], QStringLiteral("txtMRKRData%1").arg(k), kNumberField,
        [k](HodModel & m, std::size_t i) -> auto& {
          Marker& marker = m.Markers[i];
          return k < 3 ? marker.Position[static_cast<std::size_t>(k)]
                       : marker.Rotation[static_cast<std::size_t>(k - 3)];
        },
        k >= 3));
  }
  desc.numbers.push_back(Number(
      "Start time", QStringLiteral("txtMRKRData6"), kNumberField,
      [](HodModel & m, std::size_t i) -> auto& { return m.Markers[i].Flags1; }));
  desc.numbers.push_back(Number(
      "End time", QStringLiteral("txtMRKRData7"), kNumberField,
      [](HodModel & m, std::size_t i) -> auto& { return m.Markers[i].Flags2; }));
  desc.commands = {
      {"cmdMRKRAdd", Caption(300), [](Workspace& w, Selection, Ui&) { return AddMarker(w.model); }},
      {"cmdMRKRRemove", Caption(301),
       [](Workspace& w, Selection s, Ui& ui) { return RemoveMarker(w, s, ui); }},
      {"cmdMRKRPosition",
       QStringLiteral("Position..."),
       {},
       [](EditorForm& form, Selection s) {
         if (!s) {
           form.ui().Message(shared_text::kSelectObjectFirst, Icon::Exclamation);
           return CommandResult::Unchanged();
         }
         HodModel& model = form.workspace().model;
         const auto picked = form.PickPose(MarkerViewerPose(model, *s));
         return picked ? PlaceMarker(model, *s, *picked) : CommandResult::Unchanged();
       }},
  };
  return desc;
}

TabDescription EngineShapesTab() {
  TabDescription desc = Describe("ETSH", "lstETSH");
  const auto family = [](HodModel & m) -> auto& { return m.EngineShapes; };
  ListedByName(desc, family);
  NameBoxOf(desc, family, "txtETSHName", 28, false);
  ParentBoxOf(desc, family, "cboETSHParent");
  desc.commands = {
      {"cmdETSHAdd", Caption(300),
       [](Workspace& w, Selection, Ui&) { return AddEngineShape(w.model); }},
      {"cmdETSHRemove", Caption(301),
       [](Workspace& w, Selection s, Ui& ui) { return RemoveEngineShape(w, s, ui); }},
      {"cmdETSHAddDuplicate", Caption(305),
       [](Workspace& w, Selection s, Ui& ui) { return DuplicateEngineShape(w.model, s, ui); }},
      {"cmdETSHReplace", Caption(26),
       [](Workspace& w, Selection s, Ui& ui) { return ReplaceEngineShape(w.model, s, ui); }},
      {"cmdETSHExport", Caption(303),
       [](Workspace& w, Selection s, Ui& ui) { return Exported(ExportEngineShapeOBJ(w, s, ui)); }},
  };
  return desc;
}

TabDescription EngineBurnsTab() {
  TabDescription desc = Describe("BURN", "lstBURN");
  const auto family = [](HodModel & m) -> auto& { return m.EngineBurns; };
  ListedByName(desc, family);
  NameBoxOf(desc, family, "txtBURNName", 28, false);
  ParentBoxOf(desc, family, "cboBURNParentName");
  desc.commands = {
      {"cmdBURNAdd", Caption(300),
       [](Workspace& w, Selection, Ui&) { return AddEngineBurn(w.model); }},
      {"cmdBURNRemove", Caption(301),
       [](Workspace& w, Selection s, Ui& ui) { return RemoveEngineBurn(w, s, ui); }},
      {"cmdBURNAddDuplicate", Caption(305),
       [](Workspace& w, Selection s, Ui& ui) { return DuplicateEngineBurn(w.model, s, ui); }},
      {"cmdBURNReplace", Caption(26),
       [](Workspace& w, Selection s, Ui& ui) { return ReplaceEngineBurnPoints(w.model, s, ui); }},
      {"cmdBURNExport", Caption(303),
       [](Workspace& w, Selection s, Ui& ui) { return Exported(ExportEngineBurnOBJ(w, s, ui)); }},
  };
  return desc;
}

TabDescription EngineGlowsTab() {
  TabDescription desc = Describe("GLOW", "lstGLOW");
  const auto family = [](HodModel & m) -> auto& { return m.EngineGlows; };
  ListedByName(desc, family);
  NameBoxOf(desc, family, "txtGLOWName", 28, false);
  ParentBoxOf(desc, family, "cboGLOWParent");
  desc.commands = {
      {"cmdGLOWAdd", Caption(300),
       [](Workspace& w, Selection, Ui&) { return AddEngineGlow(w.model); }},
      {"cmdGLOWRemove", Caption(301),
       [](Workspace& w, Selection s, Ui& ui) { return RemoveEngineGlow(w, s, ui); }},
      {"cmdGLOWAddDuplicate", Caption(305),
       [](Workspace& w, Selection s, Ui& ui) { return DuplicateEngineGlow(w.model, s, ui); }},
      {"cmdGLOWReplace", Caption(26),
       [](Workspace& w, Selection s, Ui& ui) { return ReplaceEngineGlow(w.model, s, ui); }},
      {"cmdGLOWExport", Caption(303),
       [](Workspace& w, Selection s, Ui& ui) { return Exported(ExportEngineGlowOBJ(w, s, ui)); }},
  };
  return desc;
}

TabDescription DockPathsTabDescription() {
  TabDescription desc = Describe("Dockpaths", "lstDOCK");
  const auto family = [](HodModel & m) -> auto& { return m.DockPathList.Paths; };
  ListedByName(desc, family);
  NameBoxOf(desc, family, "txtDOCKName", 28, true);
  ParentBoxOf(desc, family, "cboDOCKParent");
  desc.commands = {
      {"cmdDOCKAdd", Caption(300),
       [](Workspace& w, Selection, Ui&) { return AddDockPath(w.model); }},
      {"cmdDOCKRemove", Caption(301),
       [](Workspace& w, Selection s, Ui& ui) { return RemoveDockPath(w, s, ui); }},
  };
  return desc;
}

TabDescription BackgroundMeshesTab() {
  TabDescription desc = Describe("BGMS", "lstBGMS");
  desc.count = [](HodModel& m) { return m.BackgroundMeshSet.Meshes.size(); };
  desc.entry = [](HodModel&, std::size_t i) {
    return QString::fromLatin1(text::kBackgroundPart) + QString::number(i + 1);
  };
  desc.details = [](HodModel& m, std::size_t i) {
    return LodSummary({m.BackgroundMeshSet.Meshes[i]});
  };
  desc.commands = {
      {"cmdBGMSAdd", Caption(300),
       [](Workspace& w, Selection, Ui&) { return AddBackgroundMesh(w.model); }},
      {"cmdBGMSRemove", Caption(301),
       [](Workspace& w, Selection s, Ui&) { return RemoveBackgroundMesh(w.model, s); }},
      {"cmdBGMSReplace", Caption(26),
       [](Workspace& w, Selection s, Ui& ui) { return ReplaceBackgroundMesh(w.model, s, ui); }},
      {"cmdBGMSExport", Caption(303),
       [](Workspace& w, Selection s, Ui& ui) {
         return Exported(ExportBackgroundMeshOBJ(w, s, ui));
       }},
      {"cmdBGMSMeshGen", Caption(32),
       [](Workspace& w, Selection, Ui& ui) { return CreateMeshFromTexture(w.model, ui); }},
      {"cmdBGMSTexGen",
       Caption(30),
       {},
       [](EditorForm& form, Selection) {
         if (auto generator = GenerateBackgroundTexture(form.workspace(), form.ui())) {
           BackgroundTextureDialog dialog(std::move(*generator), form.ui(), &form);
           dialog.exec();
         }
         return CommandResult::Unchanged();
       }},
      {"cmdBGMSRecolourize", QStringLiteral("Recolour..."),
       [](Workspace& w, Selection s, Ui& ui) { return RecolourBackgroundMesh(w.model, s, ui); }},
  };
  return desc;
}

TabDescription LightsTab() {
  TabDescription desc = Describe("Lights", "lstLITE");
  const auto family = [](HodModel & m) -> auto& { return m.LightList.Lights; };
  ListedByName(desc, family);
  NameBoxOf(desc, family, "txtLITEName", 28, true);
  VectorFields(
      desc, "Position", "txtLITEData", 0, kValidNumberField,
      [](HodModel & m, std::size_t i) -> auto& { return m.LightList.Lights[i].Position; });
  const char* channels[] = {"Colour R",   "Colour G",   "Colour B",
                            "Specular R", "Specular G", "Specular B"};
  for (int k = 0; k < 6; ++k) {
    desc.numbers.push_back(Number(
        channels[k], QStringLiteral("txtLITEData%1").arg(3 + k),
        kValidNumberField, [k](HodModel & m, std::size_t i) -> auto& {
          Light& light = m.LightList.Lights[i];
          ColourRGB& c = k < 3 ? light.Colour : light.Specular;
          const int channel = k % 3;
          return channel == 0 ? c.r : channel == 1 ? c.g : c.b;
        }));
  }
  desc.choice_box = "cboLITEType";
  desc.choices = {QStringLiteral("Ambient Light"), QStringLiteral("Directional Light"),
                  QStringLiteral("Point Light")};
  desc.choice = [](HodModel& m, std::size_t i) { return m.LightList.Lights[i].Type; };
  desc.set_choice = [](HodModel& m, std::size_t i, int type) { m.LightList.Lights[i].Type = type; };
  desc.numbers.push_back(Number(
      "Attenuation", QStringLiteral("txtLITEAttenuation"), kAttenuationField,
      [](HodModel & m, std::size_t i) -> auto& { return m.LightList.Lights[i].Attenuation; }));
  desc.numbers.push_back(Number(
      "Attenuation distance", QStringLiteral("txtLITEData9"), kValidNumberField,
      [](HodModel & m, std::size_t i) -> auto& {
        return m.LightList.Lights[i].AttenuationDistance;
      }));
  desc.commands = {
      {"cmdLITEAdd", Caption(300),
       [](Workspace& w, Selection, Ui& ui) {
         // The first light of a ship costs its joints and boundary vertices on save: only when
         // the user says so.
         const bool first = w.model.LightList.LightCount == 0;
         CommandResult added = AddLight(w.model);
         const std::string loss = first ? LightLossText(w.model) : std::string();
         if (!loss.empty() && ui.Ask(loss + messages::kLightsAddQuestion, Icon::Exclamation,
                                     Buttons::YesNo, Answer::No) != Answer::Yes) {
           w.model.LightList.Lights.pop_back();
           w.model.LightList.LightCount = 0;
           return CommandResult::Unchanged();
         }
         return added;
       }},
      {"cmdLITEPos",
       QStringLiteral("Light Editor..."),
       {},
       [](EditorForm& form, Selection s) {
         if (!s) {
           form.ui().Message(shared_text::kSelectObjectFirst, Icon::Exclamation);
           return CommandResult::Unchanged();
         }
         Light& light = form.workspace().model.LightList.Lights[*s];
         LightEditor editor;
         editor.SetLightType(light.Type);
         editor.SetTransformValues(light.Position);
         LightEditorDialog dialog(
             editor, form.ui(),
             [&form](const Vector3& at) -> std::optional<Vector3> {
               const auto picked = form.PickPose({at, {}});
               return picked ? std::optional<Vector3>(picked->position) : std::nullopt;
             },
             &form);
         dialog.exec();
         const Vector3 result = editor.GetTransformValues();
         if (result == light.Position) return CommandResult::Unchanged();
         light.Position = result;
         return CommandResult::Changed(s);
       }},
      {"cmdLITERemove", Caption(301),
       [](Workspace& w, Selection s, Ui& ui) { return RemoveLight(w, s, ui); }},
      {"cmdLITEAddDuplicate", Caption(305),
       [](Workspace& w, Selection s, Ui& ui) { return DuplicateLight(w.model, s, ui); }},
  };
  return desc;
}

TabDescription SimpleMeshesTab() {
  TabDescription desc = Describe("SIMP\\WIRE", "lstSIMP");
  NameBoxOf(
      desc, [](HodModel & m) -> auto& { return m.SimpleMeshes; }, "txtSIMPName", 28, true);
  desc.list_skips_check = true;
  desc.count = [](HodModel& m) { return m.SimpleMeshes.size(); };
  desc.entry = [](HodModel& m, std::size_t) {
    const bool simple = m.HodName.TypeName == kSimpleMeshTypeName;
    return QString::fromLatin1(simple ? text::kSimpleMeshEntry : text::kWireMeshEntry);
  };
  desc.commands = {
      {"cmdSIMPAdd", Caption(300),
       [](Workspace& w, Selection, Ui&) { return AddSimpleMesh(w.model); }},
      {"cmdSIMPRemove", Caption(301),
       [](Workspace& w, Selection s, Ui& ui) { return RemoveSimpleMesh(w, s, ui); }},
      {"cmdSIMPReplace", Caption(26),
       [](Workspace& w, Selection s, Ui& ui) { return ReplaceSimpleMesh(w.model, s, ui); }},
      {"cmdSIMPExport", Caption(303),
       [](Workspace& w, Selection s, Ui& ui) { return Exported(ExportSimpleMeshOBJ(w, s, ui)); }},
      {"cmdSIMPMove", Caption(13),
       [](Workspace& w, Selection s, Ui& ui) {
         return Changed(MoveSimpleMeshCommand(w.model, s, ui), s);
       }},
      {"cmdSIMPRotate", Caption(22),
       [](Workspace& w, Selection s, Ui& ui) {
         return Changed(RotateSimpleMeshCommand(w.model, s, ui), s);
       }},
      {"cmdSIMPMirror",
       Caption(25),
       {},
       [](EditorForm& form, Selection s) {
         // Without a mesh the command only says so; the options are not asked for.
         const auto options =
             s ? form.AskMirrorOptions() : std::optional<MirrorOptions>(MirrorOptions{});
         if (!options) return CommandResult::Unchanged();
         return Changed(MirrorSimpleMeshCommand(form.workspace().model, s, *options, form.ui()), s);
       }},
      {"cmdSIMPScale", Caption(14),
       [](Workspace& w, Selection s, Ui& ui) {
         return Changed(ScaleSimpleMeshCommand(w.model, s, ui), s);
       }},
  };
  return desc;
}

}  // namespace gantry
