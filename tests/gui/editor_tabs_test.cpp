// The editor form's tabs driven through their widgets: selection fills the boxes, typed values
// are corrected or stored by the family's rules, commands refill the lists.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "commands/geometry_commands.h"
#include "gui/editor_form.h"
#include "gui/gui_helpers.h"
#include "hod/reset.h"
#include "hod/workspace.h"
#include "support/model_parts.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

using testing::Find;
using testing::ScriptedUi;

constexpr const char* kOutOfColourRange =
    "Value is out of range. Please enter a value between 0 to 255";

class EditorTabsTest : public ::testing::Test {
 protected:
  EditorTabsTest() : form_(workspace_, [this]() -> Ui& { return ui_; }) {}

  template <typename T>
  T* Widget(const char* name) {
    T* widget = Find<T>(&form_, name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  void Click(const char* name) { Widget<QAbstractButton>(name)->click(); }
  // What clicks on `buttons` say, alone.
  std::vector<std::string> SaidBy(std::initializer_list<const char*> buttons) {
    ui_.messages.clear();
    for (const char* button : buttons) Click(button);
    return ui_.MessageTexts();
  }
  std::string LastSaid() const { return ui_.messages.empty() ? "" : ui_.messages.back().text; }
  void Leave(const char* name) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(Widget<QLineEdit>(name), &out);
  }
  // Types into a box as a user would and leaves it.
  void Enter(const char* name, const QString& text) {
    Widget<QLineEdit>(name)->selectAll();
    QTest::keyClicks(Widget<QLineEdit>(name), text);
    Leave(name);
  }
  QString Text(const char* name) { return Widget<QLineEdit>(name)->text(); }
  // Types `typed` into `box`, which must show `shown` and say `said` (nothing when empty).
  void Corrected(const char* box, const char* typed, const char* shown, std::string said = "") {
    SCOPED_TRACE(box);
    ui_.messages.clear();
    Enter(box, QString::fromLatin1(typed));
    EXPECT_EQ(Text(box), QString::fromLatin1(shown));
    EXPECT_EQ(ui_.MessageTexts(), said.empty() ? std::vector<std::string>{} : std::vector{said});
  }
  // Selects the root joint in the hierarchy's tree, and returns the tree.
  QTreeWidget* SelectRoot() {
    auto* tree = Widget<QTreeWidget>("tvwHIER");
    tree->setCurrentItem(tree->topLevelItem(0));
    return tree;
  }
  // What the keyboard focus passing into a list does: a current row (or none), nothing selected.
  static void FocusRow(QAbstractItemView* view, int row) {
    view->clearSelection();
    view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                            QItemSelectionModel::NoUpdate);
  }

  Workspace workspace_;
  ScriptedUi ui_;
  EditorForm form_;
};

// Every control has a tooltip; each tab's page scrolls, so the form asks for no more room than
// its smallest page would and a large font or a scaled display does not push it off the screen.
TEST_F(EditorTabsTest, EveryControlExplainsItselfAndEveryPageScrolls) {
  int controls = 0;
  for (const QWidget* control : form_.findChildren<QWidget*>()) {
    const QString name = control->objectName();
    if (name.size() < 4 || !name.at(3).isUpper()) continue;
    static const QStringList kinds = {"cmd", "txt", "chk", "cbo", "lst", "sld", "tvw"};
    if (!kinds.contains(name.left(3))) continue;
    if (qobject_cast<const QLabel*>(control) != nullptr) continue;  // texts shown, not edited
    ++controls;
    EXPECT_FALSE(control->toolTip().isEmpty()) << name.toStdString();
  }
  EXPECT_GT(controls, 200);

  QTabWidget* tabs = form_.tabs();
  int tallest = 0;
  for (int i = 0; i < tabs->count(); ++i) {
    auto* scroll = qobject_cast<QScrollArea*>(tabs->widget(i));
    ASSERT_NE(scroll, nullptr) << tabs->tabText(i).toStdString();
    tallest = std::max(tallest, scroll->widget()->minimumSizeHint().height());
  }
  EXPECT_LT(form_.minimumSizeHint().height(), tallest);
}

// A row the focus made current is not a selection: commands refuse it (a refused joint command
// selects the first node), and the boxes follow only a real selection.
TEST_F(EditorTabsTest, ARowMadeCurrentByTheFocusIsNotASelection) {
  Click("cmdLMIPAdd");
  Click("cmdLMIPAdd");
  auto* list = Widget<QListWidget>("lstTextures");
  ASSERT_EQ(list->count(), 2);
  FocusRow(list, 0);
  EXPECT_EQ(SaidBy({"cmdLMIPRemove"}),
            std::vector<std::string>{"Please select a texture in the texture section first!"});
  EXPECT_EQ(workspace_.model.Textures.size(), 2u);
  EXPECT_EQ(form_.Selected("lstTextures"), std::nullopt);

  auto* tree = Widget<QTreeWidget>("tvwHIER");
  for (const auto& [command, row] :
       {std::pair{"cmdHIERAdd", -1}, {"cmdHIERRemove", -1}, {"cmdHIERRemove", 0}}) {
    SCOPED_TRACE(std::string(command) + " row " + std::to_string(row));
    FocusRow(tree, row);
    EXPECT_EQ(SaidBy({command}), std::vector<std::string>{"Please select a object first!"});
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
    EXPECT_TRUE(tree->topLevelItem(0)->isSelected());
  }

  // A click makes the row current first and selects it after.
  Click("cmdGeomAdd");
  auto* meshes = Widget<QListWidget>("lstGeometry");
  FocusRow(meshes, 0);
  EXPECT_EQ(Text("txtGeomName"), QStringLiteral("Object Name"));
  meshes->setCurrentRow(0, QItemSelectionModel::Select);
  EXPECT_EQ(Text("txtGeomName"), QStringLiteral("NewObject1"));
}

// Showing a tab clears its selection and empties its boxes; passing through an empty box is not
// typing into it.
TEST_F(EditorTabsTest, ShowingATabClearsItsSelection) {
  Click("cmdETSHAdd");
  ASSERT_EQ(form_.Selected("lstETSH"), std::optional<std::size_t>(0));
  auto* tree = SelectRoot();
  EXPECT_EQ(Text("txtHIERData6"), QStringLiteral("1"));
  form_.tabs()->setCurrentIndex(3);  // Hierarchy
  EXPECT_TRUE(tree->selectedItems().isEmpty());
  EXPECT_TRUE(Text("txtHIERData6").isEmpty());
  ui_.messages.clear();
  for (const char* name : {"txtHIERData0", "txtNAVLSize", "txtDOCKData0", "txtSTATColour0"}) {
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(Widget<QLineEdit>(name), &in);
    Leave(name);
  }
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{});
  form_.tabs()->setCurrentIndex(8);  // Engines
  EXPECT_EQ(form_.Selected("lstETSH"), std::nullopt);
  EXPECT_EQ(Widget<QListWidget>("lstETSH")->currentRow(), -1);
}

TEST_F(EditorTabsTest, ScarMeshTabRunsItsCommandsOnTheSelectedScar) {
  Click("cmdGeomAdd");
  auto* list = Widget<QListWidget>("lstBSRM");
  FocusRow(list, -1);
  EXPECT_EQ(SaidBy({"cmdBSRMSSUBRegen", "cmdBSRMSSUBDelete"}),
            std::vector<std::string>(2, "Please select a object first!"));

  ScarMesh& scar = workspace_.model.ScarMeshes[0];
  scar.Box = {{-100, -50, -50}, {100, 50, 50}};
  list->setCurrentRow(0);
  const auto details = [&] { return Widget<QLabel>("lstBSRMDetails")->text(); };
  Click("cmdBSRMSSUBRegen");
  EXPECT_TRUE(details().endsWith(QStringLiteral("grid 4 x 2 x 2"))) << details().toStdString();
  Click("cmdBSRMSSUBDelete");
  EXPECT_TRUE(details().endsWith(QStringLiteral("grid 1 x 1 x 1"))) << details().toStdString();
  EXPECT_EQ(list->currentRow(), 0);

  // The box is worked out from the mesh's own level of detail.
  MeshPart part = testing::TrianglePart();
  part.Vertices[1].Position = {20, -3, 4, 1};
  workspace_.model.Meshes[0].Lods = {testing::LodOf({part})};
  workspace_.model.Meshes[0].LodCount = 1;
  Click("cmdBSRMBBOXAutoCalc");
  EXPECT_EQ(Text("txtBSRMBBOXData3"), QStringLiteral("20"));
}

TEST_F(EditorTabsTest, MirrorAsksOnlyForASelectedMeshAndCancelClearsTheBoxes) {
  {
    // No mesh: said so, and no dialog opens.
    testing::RefuseDialogs refuse;
    EXPECT_EQ(SaidBy({"cmdGeomMirror", "cmdSIMPMirror"}),
              std::vector<std::string>(2, "Please Select geometry in the geometry section first!"));
    EXPECT_EQ(refuse.opened(), 0);
  }

  Click("cmdGeomAdd");
  bool ticked = true;
  for (const bool tick : {true, false}) {
    testing::OnNextModal([tick, &ticked](QWidget* dialog) {
      auto* reverse = Find<QCheckBox>(dialog, "chkReverseY");
      if (tick) reverse->setChecked(true);
      ticked = reverse->isChecked();
      Find<QPushButton>(dialog, "cmdCancel")->click();
    });
    Click("cmdGeomMirror");
  }
  EXPECT_FALSE(ticked);
}

TEST_F(EditorTabsTest, ListsAndDetailsFollowTheModel) {
  workspace_.model.Meshes.resize(2);
  workspace_.model.Meshes[1].Lods.resize(2);
  workspace_.model.Meshes[1].Lods[1].LodLevel = 1;
  workspace_.model.Warnings.push_back({});
  workspace_.model.Warnings.back().Text = "watch out";
  form_.Refresh();
  Widget<QListWidget>("lstGeometry")->setCurrentRow(1);
  ASSERT_EQ(Widget<QListWidget>("lstGeomLODs")->count(), 2);
  EXPECT_EQ(Widget<QListWidget>("lstGeomLODs")->item(1)->text(), QStringLiteral("LOD: 1"));
  EXPECT_EQ(Widget<QLabel>("lstGeometryDetails")->text(),
            QStringLiteral("2 level(s), 0 part(s), 0 vertices, 0 triangles"));
  EXPECT_EQ(Widget<QListWidget>("lstWARN")->item(0)->text(), QStringLiteral("watch out"));
}

TEST_F(EditorTabsTest, LevelCommandsKeepTheLevelSelected) {
  Click("cmdGeomAdd");
  Click("cmdGeomAdd");  // the second mesh is selected
  auto* lods = Widget<QListWidget>("lstGeomLODs");
  ASSERT_EQ(lods->count(), 1);  // "No LoDs defined"
  lods->setCurrentRow(0);
  EXPECT_EQ(SaidBy({"cmdGeomReplaceLoD"}), std::vector<std::string>{"No LoDs defined to replace!"});

  Click("cmdGeomAddLoD");
  ASSERT_EQ(workspace_.model.Meshes[1].Lods.size(), 1u);
  lods->setCurrentRow(0);
  for (const bool goblin : {true, false}) {
    Click("chkGeomIsGoblin");
    EXPECT_EQ(IsGoblin(workspace_.model.Meshes[1]), goblin);
    EXPECT_EQ(form_.Selected("lstGeomLODs"), std::optional<std::size_t>(0));
  }
  EXPECT_EQ(form_.Selected("lstGeometry"), std::optional<std::size_t>(1));
}

TEST_F(EditorTabsTest, JointBoxesShowStoreAndCorrect) {
  Joint& root = workspace_.model.JointList.Joints[0];
  root.Position = {1.23456f, 0, 0};
  root.Rotation = {0, 1.5707964f, 0};
  root.Scale = {1.23456f, 1, 1};
  form_.Refresh();
  auto* tree = SelectRoot();
  // Positions and angles to three decimals, scales in full.
  EXPECT_EQ(Text("txtHIERData0"), QStringLiteral("1.235"));
  EXPECT_EQ(Text("txtHIERData4"), QStringLiteral("90"));
  EXPECT_EQ(Text("txtHIERData6"), QStringLiteral("1.23456"));

  // Passing through a box without typing keeps the model's full value.
  Leave("txtHIERData0");
  EXPECT_EQ(root.Position.x, 1.23456f);

  Enter("txtHIERData3", QStringLiteral("180"));
  EXPECT_NEAR(root.Rotation.x, 3.14159265f, 1e-6);
  Click("chkHIERData1");
  EXPECT_EQ(root.Freedom[1], 1);

  // Joints added under the selected one; a rename to the root's name: the clash is said once and
  // the name raised.
  Click("cmdHIERAdd");
  Click("cmdHIERAdd");
  ASSERT_EQ(tree->topLevelItem(0)->childCount(), 2);
  ui_.messages.clear();
  tree->topLevelItem(0)->child(0)->setText(0, QStringLiteral("Root"));
  QTest::qWait(1);  // the refill after a rename waits for the event loop
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Name clash with object #1"});
  EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), QStringLiteral("Root1"));
}

TEST_F(EditorTabsTest, RealFocusChangesStoreAndCorrect) {
  // The same rules through the platform's own focus handling and keys, not synthetic events.
  form_.show();
  form_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  form_.tabs()->setCurrentIndex(3);  // Hierarchy
  SelectRoot();
  auto* box = Widget<QLineEdit>("txtHIERData1");
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, QStringLiteral("2.50"));
  QTest::keyClick(box, Qt::Key_Tab);
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Please enter a number"});
  EXPECT_EQ(box->text(), QStringLiteral("2.5"));
  EXPECT_EQ(workspace_.model.JointList.Joints[0].Position.y, 0);
  box->setFocus();
  QTest::keyClick(box, Qt::Key_Tab);
  EXPECT_EQ(workspace_.model.JointList.Joints[0].Position.y, 2.5f);

  // Delete on a list removes its selected element, as the tab's Remove button does; in a box
  // the key deletes text, not the element.
  form_.tabs()->setCurrentIndex(7);  // Markers
  for (int i = 0; i < 3; ++i) Click("cmdMRKRAdd");
  const std::string last = workspace_.model.Markers.at(2).Name;
  auto* list = Widget<QListWidget>("lstMarkers");
  list->setFocus();
  list->setCurrentRow(1);
  QTest::keyClick(list, Qt::Key_Delete);
  ASSERT_EQ(workspace_.model.Markers.size(), 2u);
  EXPECT_EQ(workspace_.model.Markers[1].Name, last);
  Widget<QLineEdit>("txtMRKRName")->setFocus();
  QTest::keyClick(Widget<QLineEdit>("txtMRKRName"), Qt::Key_Delete);
  EXPECT_EQ(workspace_.model.Markers.size(), 2u);
}

TEST_F(EditorTabsTest, NavLightsFollowTheirRules) {
  workspace_.model.JointList.Joints.push_back({});
  workspace_.model.JointList.Joints.back().Name = "Beacon";
  form_.Refresh();
  Click("cmdNAVLAdd");
  auto* list = Widget<QListWidget>("lstNAVL");
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->currentRow(), 0);
  const NavLight& light = workspace_.model.NavLightList.NavLights[0];

  // Each box corrects by its own rule.
  Corrected("txtNAVLSize", "-1", "0", "Value is out of range. Please enter a positive number.");
  Corrected("txtNAVLColour0", "300", "255", kOutOfColourRange);
  Corrected("txtNAVLSection", "2.5", "2", "Please enter a integer");
  Enter("txtNAVLSize", QStringLiteral("2.5"));
  EXPECT_EQ(light.Size, 2.5f);
  Enter("txtNAVLColour1", QStringLiteral("51"));
  EXPECT_FLOAT_EQ(light.Colour.g, 0.2f);

  auto* joint = Widget<QComboBox>("cboNAVLName");
  const int beacon = joint->findText(QStringLiteral("Beacon"));
  joint->setCurrentIndex(beacon);
  emit joint->activated(beacon);
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("Beacon"));
  Click("cmdNAVLRemove");
  EXPECT_EQ(list->count(), 0);
}

TEST_F(EditorTabsTest, BoundaryCountAndVertices) {
  auto& vertices = workspace_.model.BoundaryVertices.Vertices;
  EXPECT_EQ(Text("txtBNDVNumVerts"), QStringLiteral("8"));
  Corrected("txtBNDVNumVerts", "1", "2", "Need atleast TWO vertices for Boundaries!");
  EXPECT_EQ(vertices.size(), 8u);
  Leave("txtBNDVNumVerts");  // left again: the correction is stored
  EXPECT_EQ(vertices.size(), 2u);

  Enter("txtBNDVNumVerts", QStringLiteral("3"));
  ASSERT_EQ(vertices.size(), 3u);
  auto* slider = Widget<QSlider>("sldBNDVVert");
  EXPECT_EQ(slider->maximum(), 3);
  slider->setValue(2);
  EXPECT_EQ(Text("txtBNDVData0"), QStringLiteral("0"));
  slider->setValue(1);
  EXPECT_EQ(Text("txtBNDVData0"), QStringLiteral("-1"));  // the reset's vertex 1
  Enter("txtBNDVData2", QStringLiteral("4.25"));
  EXPECT_EQ(vertices[0].z, 4.25f);

  // Out to the HOD's _BNDV.obj and back in.
  workspace_.SetCurrentFile(QDir::current().filePath(QStringLiteral("ship.hod")).toStdString());
  Click("cmdBNDVExport");
  vertices.clear();
  ui_.files.push_back(QDir::current().filePath(QStringLiteral("ship_BNDV.obj")).toStdString());
  Click("cmdBNDVImport");
  ASSERT_EQ(vertices.size(), 3u);
  EXPECT_EQ(vertices[0].z, 4.25f);
  EXPECT_EQ(Text("txtBNDVNumVerts"), QStringLiteral("3"));
}

TEST_F(EditorTabsTest, NameBoxesStoreAndStayUnique) {
  auto* name = Widget<QLineEdit>("txtGeomName");
  QTest::keyClicks(name, QStringLiteral("x"));  // nothing selected yet
  EXPECT_EQ(ui_.MessageTexts(),
            std::vector<std::string>{"Please select a mesh in the geometry section first!"});
  EXPECT_EQ(name->text(), QStringLiteral("Object Name"));

  for (int i = 0; i < 3; ++i) Click("cmdGeomAdd");
  auto* list = Widget<QListWidget>("lstGeometry");
  EXPECT_EQ(list->currentRow(), 2);  // the new mesh is selected
  workspace_.model.Meshes[2].Name = "Gun12";
  form_.Refresh();
  list->setCurrentRow(0);
  ui_.messages.clear();
  Enter("txtGeomName", QStringLiteral("Gun12"));
  EXPECT_EQ(ui_.MessageTexts(),
            std::vector<std::string>{"Name is not unique!\r\nName clash with object number: 3"});
  EXPECT_EQ(workspace_.model.Meshes[0].NameLength, 5);
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("Gun13"));
  // The scar mesh added with each mesh is listed on its own tab.
  EXPECT_EQ(Widget<QListWidget>("lstBSRM")->count(), 3);

  auto* parent = Widget<QComboBox>("cboGeomParent");
  ASSERT_EQ(parent->itemText(0), QStringLiteral("Root"));
  emit parent->activated(0);
  EXPECT_EQ(workspace_.model.Meshes[0].ParentName, "Root");
}

TEST_F(EditorTabsTest, MaterialParametersAndShaders) {
  Click("cmdSTATAdd");
  ui_.inputs.push_back("4");  // a colour parameter
  Click("cmdSTATParamAdd");
  auto* parameters = Widget<QListWidget>("lstSTATParams");
  ASSERT_EQ(parameters->count(), 1);
  EXPECT_EQ(Text("txtSTATColour0"), QStringLiteral("255"));
  EXPECT_FALSE(Widget<QComboBox>("cboSTATParamLayerNum")->isEnabled());
  Corrected("txtSTATColour1", "256", "255", kOutOfColourRange);
  Enter("txtSTATColour1", QStringLiteral("128"));
  EXPECT_FLOAT_EQ(workspace_.model.Materials[0].Parameters[0].Colour.g, 128.0f / 255.0f);

  const QString script = QDir::current().filePath(QStringLiteral("ship.st"));
  QFile file(script);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("static Texture $diffuse\r\n   static Texture $glow   \r\nfloat4 colour\r\n");
  file.close();
  ui_.files.push_back(script.toStdString());
  Click("cmdSTATChooseShader");
  EXPECT_EQ(Text("txtSTATShader"), QStringLiteral("ship"));
  ASSERT_EQ(parameters->count(), 2);
  EXPECT_EQ(parameters->item(1)->text(), QStringLiteral("$glow"));
}

TEST_F(EditorTabsTest, HardpointWizardAndLightEditor) {
  SelectRoot();
  testing::OnNextModal([](QWidget* dialog) {
    Find<QLineEdit>(dialog, "txtHardpointName")->setText(QStringLiteral("Gun1"));
    Find<QRadioButton>(dialog, "optType3")->click();
    Find<QPushButton>(dialog, "cmdOK")->click();
  });
  Click("cmdHIERAddHardpoint");
  ASSERT_EQ(workspace_.model.JointList.Joints.size(), 5u);
  EXPECT_EQ(workspace_.model.JointList.Joints[3].Name, "CapturePointGun1Up");

  // A light costs a ship its joints on save: added only on a Yes (No is preselected).
  Click("cmdLITEAdd");
  EXPECT_EQ(workspace_.model.LightList.LightCount, 0);
  ASSERT_EQ(ui_.preselected.size(), 1u);
  EXPECT_NE(ui_.preselected[0].first.find("saving it drops its 5 joint(s)"), std::string::npos);
  EXPECT_EQ(ui_.preselected[0].second, Answer::No);
  ui_.answers.push_back(Answer::Yes);
  Click("cmdLITEAdd");
  ASSERT_EQ(Widget<QListWidget>("lstLITE")->count(), 1);
  workspace_.model.LightList.Lights[0].Type = 1;  // directional
  testing::OnNextModal([](QWidget* dialog) {
    EXPECT_EQ(Find<QLineEdit>(dialog, "txtLightType")->text(), QStringLiteral("Directional Light"));
    Find<QLineEdit>(dialog, "txtLITEData3")->setText(QStringLiteral("90"));
    Find<QPushButton>(dialog, "cmdOK")->click();
  });
  Click("cmdLITEPos");
  EXPECT_EQ(Text("txtLITEData1"), QStringLiteral("-1"));  // the tab shows the new direction
}

// Marker angles show as degrees from 0 to 360; keys, and dock points.
TEST_F(EditorTabsTest, MarkerAnglesAndKeysAndDockPoints) {
  // The angles AutoOrient works out are AutoOrient.PointsAtThePosition's; here, how they show.
  Click("cmdMRKRAdd");
  Marker& marker = workspace_.model.Markers[0];
  marker.Position = {1, 2, 3};
  Click("cmdMRKRAutoOrient");
  EXPECT_EQ(Text("txtMRKRData3"), QStringLiteral("326.31"));  // -33.69 degrees

  Enter("txtMRKRData5", QStringLiteral("-90"));
  EXPECT_NEAR(marker.Rotation[2], 1.5 * 3.1415927, 1e-6);
  Widget<QListWidget>("lstMarkers")->setCurrentRow(0);
  form_.Refresh();
  EXPECT_EQ(Text("txtMRKRData5"), QStringLiteral("270"));
  Click("cmdMRKRKeyFSetK");
  Widget<QComboBox>("cboMRKRACName")->setCurrentIndex(4);  // <name>_rotateY
  Enter("txtMRKRKEYFValue", QStringLiteral("90"));
  EXPECT_NEAR(marker.Tracks[4].Keys[0].Value, 1.5707963, 1e-6);
  // A typed key time is kept as its whole part, made positive, and shown so at once.
  Corrected("txtMRKRKEYFTime", "-4.5", "4");
  EXPECT_EQ(Text("txtMRKRData7"), QStringLiteral("4"));  // stored: the end time widened
  auto* keys = Widget<QSlider>("sldMRKRKeyF");
  QTest::keyClick(keys, Qt::Key_A, Qt::NoModifier);
  EXPECT_EQ(marker.Tracks[4].Keys.size(), 3u);
  EXPECT_EQ(keys->value(), 2);

  Click("cmdDOCKAdd");
  EXPECT_EQ(SaidBy({"cmdDOCKKeyFRemove"}),
            std::vector<std::string>{"Can't delete last two keyframes!"});
  Click("cmdDOCKKeyFAdd");
  const auto& points = workspace_.model.DockPathList.Paths[0].Points;
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(Widget<QSlider>("sldDOCKKeyF")->value(), 2);
  Click("chkDOCKLocallProperties");
  EXPECT_EQ(points[2].LocalFlag2, 1);
  Enter("txtDOCKData4", QStringLiteral("90"));
  EXPECT_NEAR(points[2].Rotation.y, 1.5707963, 1e-6);
}

TEST_F(EditorTabsTest, StarGroupsAndStars) {
  workspace_.model.StarFields.resize(2);
  workspace_.model.StarFields[1].Stars = {Star{1, 2, 3, 1, 1, 1, 6.4f}, Star{}};
  form_.Refresh();
  auto* groups = Widget<QComboBox>("cboSTRFGroup");
  ASSERT_EQ(groups->count(), 2);
  EXPECT_EQ(groups->itemText(1), QStringLiteral("Star Field Group 2"));
  groups->setCurrentIndex(1);
  EXPECT_EQ(Widget<QSpinBox>("cboSTRFStar")->maximum(), 2);
  EXPECT_EQ(Text("txtSTRFData6"), QStringLiteral("6.4"));
  EXPECT_FALSE(Widget<QLineEdit>("txtSTRFData7")->isEnabled());  // stars have seven values
  Enter("txtSTRFData0", QStringLiteral("-7"));
  EXPECT_EQ(workspace_.model.StarFields[1].Stars[0][0], -7);

  Widget<QComboBox>("cboSTRForBGSG")->setCurrentIndex(1);
  EXPECT_EQ(groups->count(), 0);
  Click("cmdSTRFPosition");
  EXPECT_EQ(LastSaid(), "Please select a object first!");
}

}  // namespace
}  // namespace gantry
