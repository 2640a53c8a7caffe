// A 3D view: textured triangle lists drawn with OpenGL, a camera turned, zoomed and panned with
// the mouse or set from a preset, and a crosshair moved and turned with the keys to pick a point
// and an orientation. The camera and crosshair logic live in ViewState; this draws them.
#pragma once

#include <QOpenGLBuffer>
#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>
#include <QOpenGLWidget>
#include <QPoint>
#include <QTimer>
#include <map>
#include <memory>
#include <span>
#include <vector>

#include "interchange/texture_decode.h"
#include "view/view_state.h"
#include "view/viewer_scene.h"
#include "view/workspace_overlay.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace gantry {

class ViewCanvas;
class OverlayLabels;

class ViewControl : public QWidget {
  Q_OBJECT
 public:
  explicit ViewControl(QWidget* parent = nullptr);
  ~ViewControl() override;

  // The triangles to draw, and the pictures of the materials they name (by material number).
  // Shared: the four views of the viewer draw the same scene and pictures.
  using Scene = std::shared_ptr<const std::vector<SceneBuffer>>;
  using Pictures = std::shared_ptr<const std::map<std::int32_t, RgbaImage>>;
  // `while_moving`, when given, stands in for the scene while the mouse turns, zooms or pans
  // the camera (a big scene drawn coarse keeps the view responsive); at rest the scene is drawn.
  void SetScene(Scene scene, Pictures pictures, Scene while_moving = nullptr);
  void CleanVertexBuffers();
  // Zoom 1, the camera fitted to the scene, the remembered preset applied again.
  void ResetView();
  int SetView(int preset);
  // The whole scene, and `also` (points drawn over it), in sight, seen from where the camera
  // looks now.
  void Fit(std::span<const Vector3> also = {});
  void SetConfig(const RenderConfig& config);

  void SetCrosshairPosition(const Vector3& position);
  void SetCrosshairRotation(const Vector3& rotation);
  void SetRotationMode(bool on);
  void MoveCrosshairToCenter();
  void ResetCrosshairScale();
  void ScaleCrosshair(float factor, bool reset);
  void Redraw();

  // Drawn over the model, through it (the workspace's selection); null for none.
  void SetOverlay(std::shared_ptr<const Overlay> overlay);
  const std::shared_ptr<const Overlay>& overlay() const { return overlay_; }
  void SetCrosshairShown(bool on);
  bool crosshair_shown() const { return crosshair_shown_; }
  // Where model space lands in the picture area as drawn now.
  ScreenMapping Screen() const;
  // The bar above the picture: views that need more controls add them here.
  void AddToBar(QWidget* widget);

  const ViewState& state() const { return state_; }
  ViewState& state() { return state_; }
  const std::vector<SceneBuffer>& scene() const { return *scene_; }
  const Scene& scene_while_moving() const { return moving_scene_; }
  // The picture area; null where OpenGL 3.3 is not to be had (a note stands in its place).
  ViewCanvas* canvas() const { return canvas_; }
  // Whether frames are drawn (false without OpenGL 3.3).
  bool drawing() const;
  // Whether this machine offers OpenGL 3.3 (asked once).
  static bool OpenGLAvailable();

  // After the crosshair or the modes changed: the status text and a new frame.
  void CrosshairChanged();

 signals:
  void crosshairMoved();
  // A left click in the picture that did not drag the camera.
  void clicked(QPoint at, bool shift);

 protected:
  // The wheel zooms (over the picture, which passes it on, or anywhere on the control).
  void wheelEvent(QWheelEvent* event) override;

 private:
  friend class ViewCanvas;
  void ZoomChanged();
  std::vector<Vector3> ScenePoints() const;
  // Puts a note saying why in place of the picture area.
  void ShowNote(const QString& text);

  ViewState state_;
  RenderConfig config_;
  Scene scene_ = std::make_shared<std::vector<SceneBuffer>>();
  Scene moving_scene_;
  ViewCanvas* canvas_ = nullptr;
  QComboBox* view_mode_;
  QComboBox* fill_mode_;
  QLineEdit* zoom_;
  QLabel* status_;
  bool showing_zoom_ = false;
  std::shared_ptr<const Overlay> overlay_;
  bool crosshair_shown_ = true;
  QGridLayout* bar_ = nullptr;
};

// The picture area: owns the OpenGL objects.
class ViewCanvas : public QOpenGLWidget, protected QOpenGLFunctions_3_3_Core {
  Q_OBJECT
 public:
  explicit ViewCanvas(ViewControl& control);
  ~ViewCanvas() override;

  // The control's scene changed; `textures` are the pictures of its materials.
  void SceneChanged(ViewControl::Pictures pictures);
  void SetWireframe(bool on);
  // 0 wireframe, 1 solid, 2 solid with its wireframe over it.
  void SetFillMode(int mode);
  void OverlayChanged() { overlay_dirty_ = true; }
  void SetFiltering(int mode);
  bool drawing() const { return ready_; }

 signals:
  // OpenGL was there but the view cannot draw with it (a shader the driver refused).
  void failed(const QString& reason);

 protected:
  void initializeGL() override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct GpuBuffer {
    std::int32_t material = 0;
    int count = 0;  // corners drawn
    bool indexed = false;
    QOpenGLBuffer vertices{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer indices{QOpenGLBuffer::IndexBuffer};
    QOpenGLVertexArrayObject array;
  };
  void Upload();
  void Release();
  void BuildCrosshair();
  std::unique_ptr<GpuBuffer> NewBuffer(std::int32_t material,
                                       const std::vector<SceneVertex>& vertices,
                                       const std::vector<std::uint32_t>& indices = {});
  void Draw(GpuBuffer& buffer, GLenum mode, const Matrix4& matrix, QOpenGLTexture* texture);
  void DrawOverlay(const Matrix4& world);

  ViewControl& control_;
  ViewControl::Pictures images_;
  bool dirty_ = true;
  bool ready_ = false;
  bool wireframe_ = false;
  bool both_ = false;
  bool overlay_dirty_ = true;
  struct OverlayGpu {
    OverlayKind kind;
    float size;
    std::unique_ptr<GpuBuffer> colour;
    std::unique_ptr<GpuBuffer> outline;  // the same in black, drawn a pixel around it
  };
  std::vector<OverlayGpu> overlay_buffers_;
  OverlayLabels* labels_ = nullptr;
  QTimer still_;
  QPoint pressed_at_;
  bool dragged_ = false;
  int filtering_ = 0;
  std::unique_ptr<QOpenGLShaderProgram> program_;
  std::vector<std::unique_ptr<GpuBuffer>> buffers_;
  std::vector<std::unique_ptr<GpuBuffer>> moving_buffers_;
  bool moving_ = false;  // a mouse button drags the camera
  std::map<std::int32_t, std::unique_ptr<QOpenGLTexture>> textures_;
  std::unique_ptr<GpuBuffer> crosshair_;
  QPoint last_;
};

}  // namespace gantry
