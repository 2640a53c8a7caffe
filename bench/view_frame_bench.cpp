// How fast the object viewer's four OpenGL views draw, and how long the editor takes to show a big
// ship. Needs a display with OpenGL 3.3; the figures in the README come from Mesa's software
// renderer on a virtual display:
//   xvfb-run -a -s "-screen 0 1600x1000x24" build/bench/view_frame_bench [--benchmark_filter=...]
// Models: the largest ship of the corpus beside the repository (GANTRY_CORPUS_DIR, else
// ../shared/corpus) when it is there, and a synthetic sphere of 1,048,576 triangles.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "common/debug_log.h"
#include "common/ui.h"
#include "gui/editor_form.h"
#include "gui/main_window.h"
#include "gui/object_viewer.h"
#include "gui/view_control.h"
#include "gui/workspace_selection.h"
#include "gui/workspace_view.h"
#include "hod/hod_reader.h"
#include "hod/reset.h"

namespace {

using gantry::HodModel;
using gantry::ObjectViewer;
using gantry::ViewCanvas;

constexpr const char* kLargestShip = "Real-Gecko__hw2-complex__hgn_battleshipyard.hod";

std::string CorpusShip() {
  const char* env = std::getenv("GANTRY_CORPUS_DIR");
  const std::filesystem::path folder =
      env != nullptr && *env != '\0' ? std::filesystem::path(env) : GANTRY_CORPUS_DIR;
  const std::filesystem::path path = folder / "hod" / kLargestShip;
  return std::filesystem::is_regular_file(path) ? path.string() : std::string();
}

// A sphere of radius 100 in 16 parts (each below the 16-bit index limit): 16 x 64 x 512 quads,
// 1,048,576 triangles, wound clockwise from outside as the game's models are.
HodModel MillionTriangles() {
  HodModel model = gantry::MakeDefaultModel();
  gantry::MultiMesh mesh;
  mesh.Name = "Root_mesh";
  mesh.ParentName = "Root";
  mesh.LodCount = 1;
  mesh.Lods.resize(1);
  constexpr int kParts = 16, kAcross = 64, kDown = 512;
  constexpr double kPi = 3.14159265358979323846;
  for (int p = 0; p < kParts; ++p) {
    gantry::MeshPart part;
    part.VertexMask = gantry::kMaskPosition | gantry::kMaskColour;
    for (int j = 0; j <= kDown; ++j) {
      const double theta = kPi * j / kDown;
      for (int i = 0; i <= kAcross; ++i) {
        const double phi = 2 * kPi * (p * kAcross + i) / (kParts * kAcross);
        gantry::MeshVertex v;
        v.Position = {static_cast<float>(100 * std::sin(theta) * std::cos(phi)),
                      static_cast<float>(100 * std::cos(theta)),
                      static_cast<float>(100 * std::sin(theta) * std::sin(phi)), 1};
        v.Colour = {static_cast<std::uint8_t>(255 * j / kDown),
                    static_cast<std::uint8_t>(255 * i / kAcross), 200, 255};
        part.Vertices.push_back(v);
      }
    }
    gantry::FaceList list;
    list.Type = gantry::kFaceListTriangles;
    const auto at = [](int i, int j) { return static_cast<std::int16_t>(j * (kAcross + 1) + i); };
    for (int j = 0; j < kDown; ++j) {
      for (int i = 0; i < kAcross; ++i) {
        list.Indices.insert(list.Indices.end(), {at(i, j), at(i, j + 1), at(i + 1, j),  //
                                                 at(i + 1, j), at(i, j + 1), at(i + 1, j + 1)});
      }
    }
    part.FaceLists = {list};
    mesh.Lods[0].Parts.push_back(std::move(part));
  }
  model.Meshes = {std::move(mesh)};
  return model;
}

const HodModel& Model(bool synthetic) {
  static const HodModel million = MillionTriangles();
  static const HodModel ship = [] {
    HodModel model = gantry::MakeDefaultModel();
    if (const std::string path = CorpusShip(); !path.empty()) {
      gantry::DebugLog log;
      gantry::QuietUi ui;
      gantry::ReadHod(path, model, log, ui);
    }
    return model;
  }();
  return synthetic ? million : ship;
}

// Runs the event loop until every canvas has put a frame on screen (or ten seconds pass).
void WaitForFrames(std::initializer_list<ViewCanvas*> canvases) {
  QEventLoop loop;
  int waiting = static_cast<int>(canvases.size());
  for (ViewCanvas* canvas : canvases) {
    QObject::connect(canvas, &ViewCanvas::frameSwapped, &loop, [&] {
      if (--waiting == 0) loop.quit();
    });
  }
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  loop.exec();
}

std::unique_ptr<ObjectViewer> OpenViewer(const HodModel& model) {
  auto viewer = std::make_unique<ObjectViewer>(model, true, gantry::RenderConfig{});
  viewer->show();
  WaitForFrames({viewer->view(0)->canvas(), viewer->view(1)->canvas(), viewer->view(2)->canvas(),
                 viewer->view(3)->canvas()});
  return viewer;
}

bool Drawing(const ObjectViewer& viewer) {
  return viewer.view(3)->canvas() != nullptr && viewer.view(3)->drawing();
}

// Drags the left button across `view`, one frame per mouse move, and reports the frame rate
// and what the frames drew (the coarse stand-in when the scene has one).
void Orbit(benchmark::State& state, gantry::ViewControl& view) {
  ViewCanvas* canvas = view.canvas();
  const QPointF centre(canvas->width() / 2.0, canvas->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, centre, canvas->mapToGlobal(centre), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(canvas, &press);
  int step = 0;
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    const QPointF to = centre + QPointF(++step % 2 == 0 ? 0 : 4, 1);
    QMouseEvent move(QEvent::MouseMove, to, canvas->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &move);
    WaitForFrames({canvas});
    state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["triangles"] = static_cast<double>(gantry::SceneTriangles(
      view.scene_while_moving() ? *view.scene_while_moving() : view.scene()));
  state.counters["of"] = static_cast<double>(gantry::SceneTriangles(view.scene()));
  QMouseEvent release(QEvent::MouseButtonRelease, centre, canvas->mapToGlobal(centre),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(canvas, &release);
}

// Orbiting: a left-button drag on the perspective view, one frame per mouse move. Only the
// dragged view draws again.
void OrbitFrame(benchmark::State& state, bool synthetic) {
  const HodModel& model = Model(synthetic);
  if (model.Meshes.empty()) return state.SkipWithError("no corpus ship beside the repository");
  auto viewer = OpenViewer(model);
  if (!Drawing(*viewer)) return state.SkipWithError("no OpenGL 3.3 on this display");
  Orbit(state, *viewer->view(3));
}

// All four views drawn again (a ticked level, a reset): the worst frame the viewer has.
void FourViewFrame(benchmark::State& state, bool synthetic) {
  const HodModel& model = Model(synthetic);
  if (model.Meshes.empty()) return state.SkipWithError("no corpus ship beside the repository");
  auto viewer = OpenViewer(model);
  if (!Drawing(*viewer)) return state.SkipWithError("no OpenGL 3.3 on this display");
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    for (std::size_t i = 0; i < 4; ++i) viewer->view(i)->Redraw();
    WaitForFrames({viewer->view(0)->canvas(), viewer->view(1)->canvas(), viewer->view(2)->canvas(),
                   viewer->view(3)->canvas()});
    state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
  }
}

// From the Position button to four painted views: scene built, uploaded and drawn.
void OpenViewerTime(benchmark::State& state, bool synthetic) {
  const HodModel& model = Model(synthetic);
  if (model.Meshes.empty()) return state.SkipWithError("no corpus ship beside the repository");
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    auto viewer = OpenViewer(model);
    state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
    state.PauseTiming();
    viewer.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

// `gantry SHIP`: the editor's window on screen with the ship read and every list filled.
void OpenEditorTime(benchmark::State& state) {
  const std::string path = CorpusShip();
  if (path.empty()) return state.SkipWithError("no corpus ship beside the repository");
  QTemporaryDir home;
  QSettings settings(home.filePath(QStringLiteral("bench.ini")), QSettings::IniFormat);
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    gantry::MainWindow window(settings);
    window.set_show_boxes(false);
    window.show();
    window.OpenPath(QString::fromStdString(path));
    QCoreApplication::processEvents();
    state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
  }
}

// The main window with the model in its workspace dock, on screen and drawn.
std::unique_ptr<gantry::MainWindow> OpenWorkspace(QSettings& settings, bool synthetic) {
  auto window = std::make_unique<gantry::MainWindow>(settings);
  window->set_show_boxes(false);
  window->resize(1600, 1000);
  window->show();
  if (synthetic) {
    window->workspace().model = Model(true);
    window->ModelReplaced();
  } else {
    window->OpenPath(QString::fromStdString(CorpusShip()));
  }
  WaitForFrames({window->workspace_view().view()->canvas()});
  return window;
}

// Orbiting the workspace's view with the left button held, one frame per mouse move.
void WorkspaceOrbit(benchmark::State& state, bool synthetic) {
  if (!synthetic && CorpusShip().empty()) {
    return state.SkipWithError("no corpus ship beside the repository");
  }
  QTemporaryDir home;
  QSettings settings(home.filePath(QStringLiteral("bench.ini")), QSettings::IniFormat);
  auto window = OpenWorkspace(settings, synthetic);
  gantry::ViewControl* view = window->workspace_view().view();
  if (view->canvas() == nullptr || !view->drawing()) {
    return state.SkipWithError("no OpenGL 3.3 on this display");
  }
  Orbit(state, *view);
}

// From Return in the root joint's X box to the workspace's next frame showing the moved ship:
// the edit stored, the change noticed, the scene rebuilt, uploaded and drawn.
void WorkspaceEdit(benchmark::State& state) {
  if (CorpusShip().empty()) return state.SkipWithError("no corpus ship beside the repository");
  QTemporaryDir home;
  QSettings settings(home.filePath(QStringLiteral("bench.ini")), QSettings::IniFormat);
  auto window = OpenWorkspace(settings, false);
  ViewCanvas* canvas = window->workspace_view().view()->canvas();
  if (canvas == nullptr) return state.SkipWithError("no OpenGL 3.3 on this display");
  gantry::SelectInForm(window->editor(), {gantry::OverlayFamily::Joint, 0, std::nullopt});
  auto* box = window->editor().findChild<QLineEdit*>(QStringLiteral("txtHIERData0"));
  int step = 0;
  for (auto _ : state) {
    box->setText(QString::number(++step % 2));
    box->setModified(true);
    QElapsedTimer timer;
    timer.start();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &key);
    WaitForFrames({canvas});
    state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
  }
}

// `--pictures DIR [SHIP]`: the README's pictures of the workspace, with a dock path and with a
// joint selected.
int SavePictures(const QString& folder, const QString& ship) {
  if (CorpusShip().empty()) return 1;
  QTemporaryDir home;
  QSettings settings(home.filePath(QStringLiteral("bench.ini")), QSettings::IniFormat);
  auto window = OpenWorkspace(settings, false);
  if (!ship.isEmpty()) window->OpenPath(ship);
  gantry::WorkspaceView& view = window->workspace_view();
  view.view()->SetView(static_cast<int>(gantry::ViewPreset::Perspective));
  const auto shoot = [&](const gantry::WorkspaceSelection& selection, const char* name) {
    gantry::SelectInForm(window->editor(), selection);
    view.Fit();
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 500) QCoreApplication::processEvents();
    return window->grab().save(folder + QLatin1Char('/') + QLatin1String(name));
  };
  const gantry::HodModel& model = window->workspace().model;
  std::size_t path = 0;
  for (std::size_t i = 0; i < model.DockPathList.Paths.size(); ++i) {
    if (model.DockPathList.Paths[i].Points.size() > model.DockPathList.Paths[path].Points.size()) {
      path = i;
    }
  }
  const bool ok =
      shoot({gantry::OverlayFamily::DockPath, path, 1}, "workspace-dock-path.png") &&
      shoot({gantry::OverlayFamily::Joint, model.JointList.Joints.size() / 2, std::nullopt},
            "workspace-joint.png");
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--pictures") {
      return SavePictures(QString::fromLocal8Bit(argv[i + 1]),
                          i + 2 < argc ? QString::fromLocal8Bit(argv[i + 2]) : QString());
    }
  }
  benchmark::RegisterBenchmark("WorkspaceOrbit/corpus_ship", WorkspaceOrbit, false)
      ->UseManualTime();
  benchmark::RegisterBenchmark("WorkspaceOrbit/1M_triangles", WorkspaceOrbit, true)
      ->UseManualTime();
  benchmark::RegisterBenchmark("WorkspaceEdit/corpus_ship", WorkspaceEdit)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(10);
  benchmark::RegisterBenchmark("OrbitFrame/corpus_ship", OrbitFrame, false)->UseManualTime();
  benchmark::RegisterBenchmark("OrbitFrame/1M_triangles", OrbitFrame, true)->UseManualTime();
  benchmark::RegisterBenchmark("FourViewFrame/corpus_ship", FourViewFrame, false)->UseManualTime();
  benchmark::RegisterBenchmark("FourViewFrame/1M_triangles", FourViewFrame, true)->UseManualTime();
  benchmark::RegisterBenchmark("OpenViewer/corpus_ship", OpenViewerTime, false)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(5);
  benchmark::RegisterBenchmark("OpenViewer/1M_triangles", OpenViewerTime, true)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
  benchmark::RegisterBenchmark("OpenEditor/corpus_ship", OpenEditorTime)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(5);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
