#include "gui/view_control.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>
#include <cstddef>

#include "gui/qt_ui.h"

namespace gantry {
namespace {

constexpr const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec4 colour;
layout(location = 2) in vec2 uv;
uniform mat4 matrix;
out vec4 frag_colour;
out vec2 frag_uv;
void main() {
  gl_Position = matrix * vec4(position, 1.0);
  frag_colour = colour;
  frag_uv = uv;
})";

constexpr const char* kFragmentShader = R"(#version 330 core
in vec4 frag_colour;
in vec2 frag_uv;
uniform bool textured;
uniform sampler2D picture;
out vec4 out_colour;
void main() {
  // Opaque: a ship texture's alpha is a mask for the game's shaders (glow, specular, team
  // colour), not transparency.
  vec4 shade = textured ? frag_colour * texture(picture, frag_uv) : frag_colour;
  out_colour = vec4(shade.rgb, 1.0);
})";

std::optional<ViewKey> KeyOf(int key) {
  switch (key) {
    case Qt::Key_A:
      return ViewKey::A;
    case Qt::Key_D:
      return ViewKey::D;
    case Qt::Key_Q:
      return ViewKey::Q;
    case Qt::Key_E:
      return ViewKey::E;
    case Qt::Key_W:
      return ViewKey::W;
    case Qt::Key_S:
      return ViewKey::S;
    case Qt::Key_R:
      return ViewKey::R;
    case Qt::Key_T:
      return ViewKey::T;
    case Qt::Key_Left:
      return ViewKey::Left;
    case Qt::Key_Right:
      return ViewKey::Right;
    case Qt::Key_Up:
      return ViewKey::Up;
    case Qt::Key_Down:
      return ViewKey::Down;
    default:
      return std::nullopt;
  }
}

// The crosshair: three axis lines through its origin, red X, green Y, blue Z, each one model
// unit each way (its scale makes it larger).
std::vector<SceneVertex> CrosshairLines() {
  const std::array<std::uint8_t, 4> colours[] = {
      {255, 64, 64, 255}, {64, 255, 64, 255}, {96, 128, 255, 255}};
  std::vector<SceneVertex> lines;
  for (int axis = 0; axis < 3; ++axis) {
    for (float end : {-1.0f, 1.0f}) {
      SceneVertex v;
      float* c[] = {&v.position.x, &v.position.y, &v.position.z};
      *c[axis] = end;
      v.colour = colours[axis];
      lines.push_back(v);
    }
  }
  return lines;
}

}  // namespace

// ---- The control ------------------------------------------------------------------------------

ViewControl::ViewControl(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* bar = bar_ = new QGridLayout;
  view_mode_ = new QComboBox(this);
  view_mode_->setObjectName(QStringLiteral("cboViewMode"));
  for (const char* name : kViewPresetNames) view_mode_->addItem(QString::fromLatin1(name));
  view_mode_->setCurrentIndex(-1);
  fill_mode_ = new QComboBox(this);
  fill_mode_->setObjectName(QStringLiteral("cboFillMode"));
  fill_mode_->addItems(
      {QStringLiteral("Wireframe"), QStringLiteral("Solid"), QStringLiteral("Solid + wireframe")});
  fill_mode_->setCurrentIndex(1);
  zoom_ = new QLineEdit(QStringLiteral("1"), this);
  zoom_->setObjectName(QStringLiteral("txtZoomValue"));
  zoom_->setMaximumWidth(70);
  auto* reset = new QPushButton(QStringLiteral("Reset"), this);
  reset->setObjectName(QStringLiteral("cmdReset"));
  bar->addWidget(view_mode_, 0, 0);
  bar->addWidget(fill_mode_, 0, 1);
  bar->addWidget(zoom_, 0, 2);
  bar->addWidget(reset, 0, 3);
  layout->addLayout(bar);

  if (OpenGLAvailable()) {
    canvas_ = new ViewCanvas(*this);
    canvas_->setObjectName(QStringLiteral("pbxView"));
    layout->addWidget(canvas_, 1);
    // Said once the canvas is done setting up, not from inside it.
    connect(canvas_, &ViewCanvas::failed, this, &ViewControl::ShowNote, Qt::QueuedConnection);
  } else {
    ShowNote(QStringLiteral("The 3D view needs OpenGL 3.3, which this display does not offer."));
  }
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("lblStatus"));
  layout->addWidget(status_);
  CrosshairChanged();

  connect(view_mode_, &QComboBox::currentIndexChanged, this, [this](int index) {
    state_.SetView(index);
    ZoomChanged();
  });
  connect(fill_mode_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (canvas_ != nullptr) canvas_->SetFillMode(index);
    Redraw();
  });
  connect(zoom_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (showing_zoom_) return;
    state_.SetZoomText(FromQt(text));
    Redraw();
  });
  connect(reset, &QPushButton::clicked, this, &ViewControl::ResetView);
}

ViewControl::~ViewControl() = default;

void ViewControl::ShowNote(const QString& text) {
  auto* note = new QLabel(text, this);
  note->setAlignment(Qt::AlignCenter);
  note->setWordWrap(true);
  note->setMinimumSize(160, 120);
  auto* box = static_cast<QVBoxLayout*>(layout());
  if (canvas_ != nullptr) {
    // The canvas stays (it owns the OpenGL objects until the control goes) but out of sight.
    canvas_->hide();
    box->insertWidget(box->indexOf(canvas_), note, 1);
  } else {
    note->setObjectName(QStringLiteral("pbxView"));
    box->insertWidget(1, note, 1);
  }
}

bool ViewControl::OpenGLAvailable() {
  static const bool available = [] {
    QOpenGLContext context;
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    context.setFormat(format);
    if (!context.create()) return false;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    return surface.isValid() && context.makeCurrent(&surface) &&
           context.format().version() >= qMakePair(3, 3);
  }();
  return available;
}

void ViewControl::SetScene(Scene scene, Pictures pictures, Scene while_moving) {
  scene_ = scene != nullptr ? std::move(scene) : std::make_shared<std::vector<SceneBuffer>>();
  moving_scene_ = std::move(while_moving);
  if (canvas_ != nullptr) canvas_->SceneChanged(std::move(pictures));
}

void ViewControl::CleanVertexBuffers() { SetScene(nullptr, nullptr); }

std::vector<Vector3> ViewControl::ScenePoints() const {
  std::vector<Vector3> points;
  for (const SceneBuffer& buffer : *scene_) {
    for (const SceneVertex& v : buffer.vertices) points.push_back(v.position);
  }
  return points;
}

void ViewControl::ResetView() {
  state_.ResetView(ScenePoints());
  ZoomChanged();
}

void ViewControl::Fit(std::span<const Vector3> also) {
  const QWidget* picture = canvas_ != nullptr ? static_cast<const QWidget*>(canvas_) : this;
  const float aspect = picture->height() > 0 ? static_cast<float>(picture->width()) /
                                                   static_cast<float>(picture->height())
                                             : 1;
  std::vector<Vector3> points = ScenePoints();
  points.insert(points.end(), also.begin(), also.end());
  state_.Fit(points, aspect);
  ZoomChanged();
}

int ViewControl::SetView(int preset) {
  const int previous = state_.preset() ? static_cast<int>(*state_.preset()) : -1;
  // The list applies the preset; without a change of entry apply it here.
  const int wanted = std::clamp(preset, -1, 6);
  if (view_mode_->currentIndex() == wanted) {
    state_.SetView(wanted);
  } else {
    view_mode_->setCurrentIndex(wanted);
  }
  ZoomChanged();
  return previous;
}

void ViewControl::SetConfig(const RenderConfig& config) {
  config_ = config;
  if (config_.filter_mode < 0 || config_.filter_mode > 2) config_.filter_mode = 0;
  if (config_.device_mode < 0 || config_.device_mode > 2) config_.device_mode = 0;
  if (canvas_ != nullptr) canvas_->SetFiltering(config_.filter_mode);
  Redraw();
}

void ViewControl::SetCrosshairPosition(const Vector3& position) {
  state_.crosshair_position = position;
  CrosshairChanged();
}

void ViewControl::SetCrosshairRotation(const Vector3& rotation) {
  state_.crosshair_rotation = rotation;
  CrosshairChanged();
}

void ViewControl::SetRotationMode(bool on) {
  state_.rotation_mode = on;
  if (on) state_.local_mode = false;
  CrosshairChanged();
}

void ViewControl::MoveCrosshairToCenter() { SetCrosshairPosition({}); }

void ViewControl::ResetCrosshairScale() {
  state_.crosshair_scale = {1, 1, 1};
  Redraw();
}

void ViewControl::ScaleCrosshair(float factor, bool reset) {
  if (reset) state_.crosshair_scale = {1, 1, 1};
  state_.crosshair_scale = {state_.crosshair_scale.x * factor, state_.crosshair_scale.y * factor,
                            state_.crosshair_scale.z * factor};
  Redraw();
}

void ViewControl::Redraw() {
  if (canvas_ != nullptr) canvas_->update();
}

void ViewControl::SetOverlay(std::shared_ptr<const Overlay> overlay) {
  overlay_ = std::move(overlay);
  if (canvas_ != nullptr) canvas_->OverlayChanged();
  Redraw();
}

void ViewControl::SetCrosshairShown(bool on) {
  crosshair_shown_ = on;
  status_->setVisible(on);  // it tells where the crosshair stands
  Redraw();
}

ScreenMapping ViewControl::Screen() const {
  const QWidget* area = canvas_ != nullptr ? static_cast<const QWidget*>(canvas_) : this;
  const int w = std::max(1, area->width());
  const int h = std::max(1, area->height());
  const float aspect = static_cast<float>(w) / static_cast<float>(h);
  const Matrix4 camera = Multiply(state_.View(), ViewState::Projection(aspect));
  return {Multiply(state_.World(), camera), w, h};
}

void ViewControl::AddToBar(QWidget* widget) { bar_->addWidget(widget, 0, bar_->columnCount()); }

bool ViewControl::drawing() const { return canvas_ != nullptr && canvas_->drawing(); }

void ViewControl::CrosshairChanged() {
  QString text = ToQt(state_.StatusText());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  status_->setText(text);
  Redraw();
  emit crosshairMoved();
}

void ViewControl::wheelEvent(QWheelEvent* event) {
  // One notch (120) away from the user brings the camera a tenth closer.
  const int notches = event->angleDelta().y();
  if (notches == 0) {
    event->ignore();
    return;
  }
  state_.SetZoom(state_.zoom * std::pow(0.9, notches / 120.0));
  ZoomChanged();
  event->accept();
}

void ViewControl::ZoomChanged() {
  showing_zoom_ = true;
  zoom_->setText(ToQt(state_.ZoomText()));
  showing_zoom_ = false;
  Redraw();
}

// ---- The names over the picture ---------------------------------------------------------------

// A see-through widget over the canvas: the overlay's names, light text edged in black so they
// read on any texture. Clicks go through to the canvas.
class OverlayLabels : public QWidget {
 public:
  OverlayLabels(ViewControl& control, QWidget* canvas) : QWidget(canvas), control_(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const auto& overlay = control_.overlay();
    if (overlay == nullptr || overlay->labels.empty()) return;
    const ScreenMapping screen = control_.Screen();
    QPainter painter(this);
    for (const OverlayLabel& label : overlay->labels) {
      const auto at = ProjectToScreen(label.position, screen);
      if (!at) continue;
      const QPointF p(at->x + 8, at->y - 8);
      const QString text = ToQt(label.text);
      painter.setPen(Qt::black);
      for (const QPointF d : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)}) {
        painter.drawText(p + d, text);
      }
      painter.setPen(Qt::white);
      painter.drawText(p, text);
    }
  }

 private:
  ViewControl& control_;
};

// ---- The picture area -------------------------------------------------------------------------

ViewCanvas::ViewCanvas(ViewControl& control) : QOpenGLWidget(&control), control_(control) {
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(160, 120);
  QSurfaceFormat format;
  format.setVersion(3, 3);
  format.setProfile(QSurfaceFormat::CoreProfile);
  format.setDepthBufferSize(24);
  setFormat(format);
  labels_ = new OverlayLabels(control, this);
  // The mouse held still for a moment: the whole scene again, though the button is still down.
  still_.setSingleShot(true);
  still_.setInterval(150);
  connect(&still_, &QTimer::timeout, this, [this] {
    if (!moving_) return;
    moving_ = false;
    update();
  });
}

void ViewCanvas::resizeEvent(QResizeEvent* event) {
  QOpenGLWidget::resizeEvent(event);
  labels_->setGeometry(rect());
}

ViewCanvas::~ViewCanvas() {
  if (context() != nullptr) {
    makeCurrent();
    Release();
    overlay_buffers_.clear();
    program_.reset();
    crosshair_.reset();
    doneCurrent();
  }
}

void ViewCanvas::SceneChanged(ViewControl::Pictures pictures) {
  images_ = std::move(pictures);
  dirty_ = true;
  update();
}

void ViewCanvas::SetWireframe(bool on) { SetFillMode(on ? 0 : 1); }

void ViewCanvas::SetFillMode(int mode) {
  wireframe_ = mode == 0;
  both_ = mode == 2;
}

void ViewCanvas::SetFiltering(int mode) {
  if (filtering_ == mode) return;
  filtering_ = mode;
  dirty_ = true;
}

void ViewCanvas::initializeGL() {
  ready_ = context() != nullptr && context()->format().version() >= qMakePair(3, 3) &&
           initializeOpenGLFunctions();
  if (!ready_) return;
  program_ = std::make_unique<QOpenGLShaderProgram>();
  ready_ = program_->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) &&
           program_->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader) &&
           program_->link();
  if (!ready_) {
    emit failed(QStringLiteral("The 3D view cannot draw: the graphics driver refused its "
                               "shaders.\n") +
                program_->log().trimmed());
    return;
  }
  BuildCrosshair();
  dirty_ = true;
}

void ViewCanvas::BuildCrosshair() { crosshair_ = NewBuffer(0, CrosshairLines()); }

std::unique_ptr<ViewCanvas::GpuBuffer> ViewCanvas::NewBuffer(
    std::int32_t material, const std::vector<SceneVertex>& vertices,
    const std::vector<std::uint32_t>& indices) {
  auto buffer = std::make_unique<GpuBuffer>();
  buffer->material = material;
  buffer->indexed = !indices.empty();
  buffer->count = static_cast<int>(buffer->indexed ? indices.size() : vertices.size());
  buffer->array.create();
  buffer->array.bind();
  buffer->vertices.create();
  buffer->vertices.bind();
  buffer->vertices.allocate(vertices.data(),
                            static_cast<int>(vertices.size() * sizeof(SceneVertex)));
  if (buffer->indexed) {
    // Bound while the array is, so the array keeps it.
    buffer->indices.create();
    buffer->indices.bind();
    buffer->indices.allocate(indices.data(),
                             static_cast<int>(indices.size() * sizeof(std::uint32_t)));
  }
  // Position, colour (bytes, read as 0 to 1) and texture coordinates, straight from SceneVertex.
  program_->enableAttributeArray(0);
  program_->enableAttributeArray(1);
  program_->enableAttributeArray(2);
  program_->setAttributeBuffer(0, GL_FLOAT, offsetof(SceneVertex, position), 3,
                               sizeof(SceneVertex));
  glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(SceneVertex),
                        reinterpret_cast<const void*>(offsetof(SceneVertex, colour)));
  program_->setAttributeBuffer(2, GL_FLOAT, offsetof(SceneVertex, u), 2, sizeof(SceneVertex));
  buffer->array.release();
  return buffer;
}

void ViewCanvas::Release() {
  overlay_buffers_.clear();
  overlay_dirty_ = true;
  buffers_.clear();
  moving_buffers_.clear();
  textures_.clear();
}

void ViewCanvas::Upload() {
  Release();
  for (const SceneBuffer& scene : control_.scene()) {
    buffers_.push_back(NewBuffer(scene.material, scene.vertices, scene.indices));
  }
  if (const ViewControl::Scene& moving = control_.scene_while_moving()) {
    for (const SceneBuffer& scene : *moving) {
      moving_buffers_.push_back(NewBuffer(scene.material, scene.vertices, scene.indices));
    }
  }
  if (images_ == nullptr) {
    dirty_ = false;
    return;
  }
  for (const auto& [material, image] : *images_) {
    if (image.width <= 0 || image.height <= 0) continue;
    const QImage picture(image.pixels.data(), image.width, image.height, image.width * 4,
                         QImage::Format_RGBA8888);
    auto texture = std::make_unique<QOpenGLTexture>(QOpenGLTexture::Target2D);
    texture->setData(picture, filtering_ == 0 ? QOpenGLTexture::DontGenerateMipMaps
                                              : QOpenGLTexture::GenerateMipMaps);
    // Rows go up top row first, so texture row 0 is the picture's top, as the UVs expect.
    texture->setWrapMode(QOpenGLTexture::Repeat);
    if (filtering_ == 0) {
      texture->setMinMagFilters(QOpenGLTexture::Nearest, QOpenGLTexture::Nearest);
    } else {
      texture->setMinMagFilters(QOpenGLTexture::LinearMipMapLinear, QOpenGLTexture::Linear);
      if (filtering_ == 2) texture->setMaximumAnisotropy(16);
    }
    textures_[material] = std::move(texture);
  }
  dirty_ = false;
}

void ViewCanvas::Draw(GpuBuffer& buffer, GLenum mode, const Matrix4& matrix,
                      QOpenGLTexture* texture) {
  // Row-vector matrices read by OpenGL as columns: matrix * v in the shader is v * M here.
  program_->setUniformValue("matrix", QMatrix4x4(&matrix[0][0]).transposed());
  program_->setUniformValue("textured", texture != nullptr);
  if (texture != nullptr) {
    texture->bind(0);
    program_->setUniformValue("picture", 0);
  }
  buffer.array.bind();
  if (buffer.indexed) {
    glDrawElements(mode, buffer.count, GL_UNSIGNED_INT, nullptr);
  } else {
    glDrawArrays(mode, 0, buffer.count);
  }
  buffer.array.release();
  if (texture != nullptr) texture->release(0);
}

void ViewCanvas::paintGL() {
  if (!ready_) return;
  if (dirty_) Upload();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glDisable(GL_BLEND);
  // Solid views cull what Direct3D culls: faces that run counter-clockwise as the user sees
  // them. Both APIs judge the winding after projection with y up on screen, so the model's
  // outward faces (clockwise as seen from outside) are OpenGL's front faces once the front is
  // declared clockwise.
  if (wireframe_) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glDisable(GL_CULL_FACE);
  } else {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
  }

  const ViewState& state = control_.state();
  const float aspect =
      height() > 0 ? static_cast<float>(width()) / static_cast<float>(height()) : 1;
  const Matrix4 camera = Multiply(state.View(), ViewState::Projection(aspect));
  const Matrix4 world = Multiply(state.World(), camera);
  program_->bind();
  auto& shown = moving_ && !moving_buffers_.empty() ? moving_buffers_ : buffers_;
  // Solid + wireframe: the surface pushed back a little so its own edges win the depth test.
  if (both_) {
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1, 1);
  }
  for (auto& buffer : shown) {
    const auto texture = textures_.find(buffer->material);
    Draw(*buffer, GL_TRIANGLES, world,
         texture != textures_.end() ? texture->second.get() : nullptr);
  }
  if (both_) {
    glDisable(GL_POLYGON_OFFSET_FILL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    for (auto& buffer : shown) Draw(*buffer, GL_TRIANGLES, world, nullptr);
  }
  // The crosshair stands in model space and turns with the model; it is drawn over the model so
  // it can be found inside it.
  glDisable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  if (control_.crosshair_shown()) {
    Draw(*crosshair_, GL_LINES, Multiply(state.Crosshair(), world), nullptr);
  }
  DrawOverlay(world);
  program_->release();
  // The names sit on a layer of their own over the picture; it follows every frame.
  if (labels_ != nullptr) labels_->update();
}

void ViewCanvas::DrawOverlay(const Matrix4& world) {
  const auto& overlay = control_.overlay();
  if (overlay_dirty_) {
    overlay_buffers_.clear();
    if (overlay != nullptr) {
      for (const OverlayBatch& batch : overlay->batches) {
        std::vector<SceneVertex> dark = batch.vertices;
        for (SceneVertex& v : dark) v.colour = {0, 0, 0, v.colour[3]};
        overlay_buffers_.push_back(
            {batch.kind, batch.size, NewBuffer(0, batch.vertices),
             batch.kind == OverlayKind::Triangles ? nullptr : NewBuffer(0, dark)});
      }
    }
    overlay_dirty_ = false;
  }
  if (overlay_buffers_.empty()) return;
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  // A pixel's step in clip space, applied after the projection (x + dx w): the outline copies.
  const float px = 2.0f / static_cast<float>(std::max(1, width()));
  const float py = 2.0f / static_cast<float>(std::max(1, height()));
  const auto shifted = [&](float dx, float dy) {
    Matrix4 shift = Identity();
    shift[3][0] = dx;
    shift[3][1] = dy;
    return Multiply(world, shift);
  };
  for (OverlayGpu& gpu : overlay_buffers_) {
    const GLenum mode = gpu.kind == OverlayKind::Lines    ? GL_LINES
                        : gpu.kind == OverlayKind::Points ? GL_POINTS
                                                          : GL_TRIANGLES;
    if (gpu.outline != nullptr) {
      if (gpu.kind == OverlayKind::Points) {
        glPointSize(gpu.size + 4);
        Draw(*gpu.outline, mode, world, nullptr);
      } else {
        for (const auto& [dx, dy] : {std::pair{-px, 0.0f}, {px, 0.0f}, {0.0f, -py}, {0.0f, py}}) {
          Draw(*gpu.outline, mode, shifted(dx, dy), nullptr);
        }
      }
    }
    glPointSize(gpu.size);
    Draw(*gpu.colour, mode, world, nullptr);
  }
  glPointSize(1);
}

void ViewCanvas::mousePressEvent(QMouseEvent* event) {
  last_ = event->position().toPoint();
  pressed_at_ = last_;
  dragged_ = false;
  setFocus();
}

void ViewCanvas::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const MouseButtons buttons{(event->buttons() & Qt::LeftButton) != 0,
                             (event->buttons() & Qt::RightButton) != 0};
  if (buttons.left || buttons.right) {
    moving_ = true;
    still_.start();
    const QPoint d = at - last_;
    if ((at - pressed_at_).manhattanLength() > 3) dragged_ = true;
    if (control_.state().MouseMove(buttons, d.x(), d.y())) control_.ZoomChanged();
    last_ = at;
  }
  update();
}

void ViewCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !dragged_) {
    emit control_.clicked(event->position().toPoint(),
                          (event->modifiers() & Qt::ShiftModifier) != 0);
  }
  // The last button up: the camera rests, and the whole scene is drawn again.
  if ((event->buttons() & (Qt::LeftButton | Qt::RightButton)) == 0 && moving_) {
    moving_ = false;
    update();
  }
}

void ViewCanvas::keyPressEvent(QKeyEvent* event) {
  const auto key = KeyOf(event->key());
  if (!key) {
    QOpenGLWidget::keyPressEvent(event);
    return;
  }
  const Qt::KeyboardModifiers m = event->modifiers();
  control_.state().Key(*key, {(m & Qt::ShiftModifier) != 0, (m & Qt::AltModifier) != 0,
                              (m & Qt::ControlModifier) != 0});
  control_.CrosshairChanged();
}

}  // namespace gantry
