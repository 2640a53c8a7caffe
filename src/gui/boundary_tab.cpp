#include "gui/boundary_tab.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/boundary_files.h"
#include "commands/bounding_volumes.h"
#include "commands/create.h"
#include "common/number_text.h"
#include "common/shared_text.h"
#include "gui/editor_form.h"
#include "gui/qt_ui.h"
#include "gui/string_table.h"
#include "hod/model.h"
#include "hod/workspace.h"

namespace gantry {
namespace {

float& Axis(Vector3& v, std::size_t index) { return index == 0 ? v.x : index == 1 ? v.y : v.z; }
float Axis(const Vector3& v, std::size_t index) {
  return index == 0 ? v.x : index == 1 ? v.y : v.z;
}

// Leaving the count box runs its own check (three messages of its own, and a resize).
class LeaveFilter : public QObject {
 public:
  LeaveFilter(QObject* parent, std::function<void()> left)
      : QObject(parent), left_(std::move(left)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) left_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> left_;
};

}  // namespace

BoundaryTab::BoundaryTab(EditorForm& form) : EditorTab(form) {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Number of vertices"), this), 0, 0);
  count_ = new QLineEdit(this);
  count_->setObjectName(QStringLiteral("txtBNDVNumVerts"));
  count_->installEventFilter(new LeaveFilter(count_, [this] { CountLeft(); }));
  connect(count_, &QLineEdit::returnPressed, this, &BoundaryTab::CountLeft);
  grid->addWidget(count_, 0, 1, 1, 3);

  which_ = new QLabel(this);
  grid->addWidget(which_, 1, 0);
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName(QStringLiteral("sldBNDVVert"));
  grid->addWidget(slider_, 1, 1, 1, 3);
  connect(slider_, &QSlider::valueChanged, this, [this] { ShowVertex(); });

  grid->addWidget(new QLabel(QStringLiteral("Position"), this), 2, 0);
  for (std::size_t i = 0; i < position_.size(); ++i) {
    position_[i] =
        AddNumberBox(grid, 2, static_cast<int>(i) + 1, QStringLiteral("txtBNDVData%1").arg(i),
                     kNumberField, [this, i](double v) {
                       auto& vertices = model().BoundaryVertices.Vertices;
                       const int at = slider_->value() - 1;
                       if (at < 0 || static_cast<std::size_t>(at) >= vertices.size()) {
                         return false;
                       }
                       Axis(vertices[static_cast<std::size_t>(at)], i) = static_cast<float>(v);
                       return true;
                     });
  }
  layout->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  auto* calculate = AddButton(this, buttons, "cmdBNDVAutoCalc", QStringLiteral("Calculate"));
  auto* position = AddButton(this, buttons, "cmdBNDVPosition", QStringLiteral("Position..."));
  auto* exported = AddButton(this, buttons, "cmdBNDVExport", Caption(303));
  auto* imported = AddButton(this, buttons, "cmdBNDVImport", Caption(26));
  buttons->addStretch();
  connect(calculate, &QPushButton::clicked, this, [this] {
    BoundaryVerticesCommand(model(), ui());
    Refresh();
  });
  connect(position, &QPushButton::clicked, this, [this] {
    auto& vertices = model().BoundaryVertices.Vertices;
    const int at = slider_->value() - 1;
    if (at < 0 || static_cast<std::size_t>(at) >= vertices.size()) {
      ui().Message(shared_text::kSelectObjectFirst, Icon::Exclamation);
      return;
    }
    Vector3& vertex = vertices[static_cast<std::size_t>(at)];
    if (const auto picked = form_.PickPose({vertex, {}})) {
      vertex = picked->position;
      ShowVertex();
    }
  });
  connect(exported, &QPushButton::clicked, this,
          [this] { ExportBoundaryVertices(workspace(), ui()); });
  connect(imported, &QPushButton::clicked, this, [this] {
    if (ImportBoundaryVertices(model(), ui()).changed) Refresh();
  });
  layout->addLayout(buttons);
  layout->addStretch();
}

void BoundaryTab::Refresh() {
  Filling([this] {
    const auto count = static_cast<int>(model().BoundaryVertices.Vertices.size());
    count_->setText(QString::number(count));
    const QSignalBlocker block(slider_);
    const int keep = slider_->value();
    slider_->setRange(count > 0 ? 1 : 0, count);
    slider_->setValue(std::clamp(keep, slider_->minimum(), slider_->maximum()));
  });
  ShowVertex();
}

void BoundaryTab::ShowVertex() {
  Filling([this] {
    const auto& vertices = model().BoundaryVertices.Vertices;
    const int at = slider_->value() - 1;
    const bool valid = at >= 0 && static_cast<std::size_t>(at) < vertices.size();
    which_->setText(valid ? QStringLiteral("Vertex %1").arg(at + 1) : QString());
    for (std::size_t i = 0; i < position_.size(); ++i) {
      position_[i]->setText(
          valid ? ToQt(NumberText(Axis(vertices[static_cast<std::size_t>(at)], i))) : QString());
    }
  });
}

void BoundaryTab::CountLeft() {
  if (leaving_ || !checking() || !count_->isModified()) return;
  leaving_ = true;
  const BoundaryCountResult result = SetBoundaryVertexCount(model(), FromQt(count_->text()), ui());
  if (result.corrected) {
    count_->setText(ToQt(*result.corrected));
    // The corrected count is stored when the box is next left.
    count_->setModified(true);
  } else {
    count_->setModified(false);
    Refresh();
  }
  leaving_ = false;
}

}  // namespace gantry
