#include "gui/markers_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include "common/number_text.h"
#include "geometry/rotations.h"
#include "gui/editor_form.h"
#include "gui/family_tabs.h"
#include "gui/qt_ui.h"
#include "hod/model.h"
#include "hod/workspace.h"

namespace gantry {
namespace {

QString Text(double value) { return ToQt(NumberText(value)); }

}  // namespace

// ---- Markers ----------------------------------------------------------------------------------

MarkersTab::MarkersTab(EditorForm& form) : ListTab(form, MarkersTabDescription()) {
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Channel"), this), 0, 0);
  channel_ = new QComboBox(this);
  channel_->setObjectName(QStringLiteral("cboMRKRACName"));
  grid->addWidget(channel_, 0, 1, 1, 4);
  grid->addWidget(new QLabel(QStringLiteral("Key (A adds, R removes)"), this), 1, 0);
  keys_ = new QSlider(Qt::Horizontal, this);
  keys_->setObjectName(QStringLiteral("sldMRKRKeyF"));
  keys_->installEventFilter(this);
  grid->addWidget(keys_, 1, 1, 1, 4);

  const auto key_box = [&](int row, int column, const QString& name,
                           std::function<bool(double)> store) {
    return AddNumberBox(grid, row, column, name, kNumberField, std::move(store));
  };
  grid->addWidget(new QLabel(QStringLiteral("Time, value"), this), 2, 0);
  time_ = key_box(2, 1, QStringLiteral("txtMRKRKEYFTime"), [this](double v) {
    const bool done = SetKeyTime(model(), At(), v);
    if (done) {
      ShowElement();  // the start and end times may have widened
      ShowKey();      // the time kept is the whole part of what was typed, made positive
    }
    return done;
  });
  value_ = key_box(2, 2, QStringLiteral("txtMRKRKEYFValue"),
                   [this](double v) { return SetKeyValue(model(), At(), v); });
  grid->addWidget(new QLabel(QStringLiteral("Further values"), this), 3, 0);
  for (std::size_t i = 0; i < extra_.size(); ++i) {
    extra_[i] = key_box(3, static_cast<int>(i) + 1, QStringLiteral("txtMRKRKEYFData%1").arg(i),
                        [this, i](double v) { return SetKeyExtra(model(), At(), i, v); });
  }
  grid->addWidget(new QLabel(QStringLiteral("Pre / post interpolation"), this), 4, 0);
  pre_ = key_box(4, 1, QStringLiteral("txtMRKRKEYFPreI"),
                 [this](double v) { return SetTrackPreI(model(), At(), v); });
  post_ = key_box(4, 2, QStringLiteral("txtMRKRKEYFPostI"),
                  [this](double v) { return SetTrackPostI(model(), At(), v); });
  static_cast<QBoxLayout*>(extra_layout())->addLayout(grid);

  auto* row = new QHBoxLayout;
  auto* reset = AddButton(this, row, "cmdMRKRKeyFSetK", QStringLiteral("Reset animation"));
  auto* orient = AddButton(this, row, "cmdMRKRAutoOrient", QStringLiteral("Auto-orient"));
  row->addStretch();
  static_cast<QBoxLayout*>(extra_layout())->addLayout(row);

  connect(this, &ListTab::selectionChanged, this, &MarkersTab::ShowTracks);
  connect(channel_, &QComboBox::currentIndexChanged, this, [this] {
    const QSignalBlocker block(keys_);
    const KeySelection at = At();
    const auto& tracks =
        at.marker ? model().Markers[*at.marker].Tracks : std::vector<KeyframeTrack>{};
    const int count =
        at.track && *at.track < tracks.size() ? static_cast<int>(tracks[*at.track].Keys.size()) : 0;
    keys_->setRange(0, std::max(0, count - 1));
    keys_->setValue(0);
    ShowKey();
  });
  connect(keys_, &QSlider::valueChanged, this, &MarkersTab::ShowKey);
  connect(reset, &QPushButton::clicked, this,
          [this] { AfterKeyCommand(ResetMarkerAnimation(model(), Selected())); });
  connect(orient, &QPushButton::clicked, this, [this] {
    const auto degrees = AutoOrientMarker(model(), Selected());
    if (!degrees) return;
    // The rotation boxes show the rounded degrees the command gives, not the stored radians.
    Filling([this, &degrees] {
      for (std::size_t k = 0; k < degrees->size(); ++k) {
        auto* box = findChild<QLineEdit*>(QStringLiteral("txtMRKRData%1").arg(k + 3));
        if (box != nullptr) box->setText(Text((*degrees)[k]));
      }
    });
  });
}

KeySelection MarkersTab::At() const {
  KeySelection at;
  at.marker = Selected();
  if (channel_->currentIndex() >= 0) at.track = static_cast<std::size_t>(channel_->currentIndex());
  at.key = static_cast<std::size_t>(std::max(0, keys_->value()));
  return at;
}

bool MarkersTab::eventFilter(QObject* watched, QEvent* event) {
  if (watched == keys_ && event->type() == QEvent::KeyPress) {
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    if (typed.size() == 1) {
      const char pressed = typed.at(0).toLatin1();
      if (pressed == 'A' || pressed == 'a' || pressed == 'R' || pressed == 'r') {
        AfterKeyCommand(KeySliderKeyPress(workspace(), At(), pressed, ui()));
        return true;
      }
    }
  }
  return ListTab::eventFilter(watched, event);
}

void MarkersTab::AfterKeyCommand(const CommandResult& result) {
  const int channel = channel_->currentIndex();
  ShowElement();
  ShowTracks();
  if (channel >= 0 && channel < channel_->count()) channel_->setCurrentIndex(channel);
  if (result.select) keys_->setValue(static_cast<int>(*result.select));
}

void MarkersTab::Refresh() {
  ListTab::Refresh();
  ShowTracks();
}

void MarkersTab::ShowTracks() {
  Filling([this] {
    const QSignalBlocker block(channel_);
    channel_->clear();
    if (const auto marker = Selected()) {
      for (const KeyframeTrack& track : model().Markers[*marker].Tracks) {
        channel_->addItem(ToQt(track.Name));
      }
    }
    channel_->setCurrentIndex(channel_->count() > 0 ? 0 : -1);
  });
  // Refill the key slider for the first channel.
  emit channel_->currentIndexChanged(channel_->currentIndex());
}

void MarkersTab::ShowKey() {
  Filling([this] {
    const KeySelection at = At();
    const KeyframeTrack* track = nullptr;
    if (at.marker && at.track && *at.track < model().Markers[*at.marker].Tracks.size()) {
      track = &model().Markers[*at.marker].Tracks[*at.track];
    }
    const Keyframe* key =
        track != nullptr && at.key < track->Keys.size() ? &track->Keys[at.key] : nullptr;
    time_->setText(key != nullptr ? Text(key->Time) : QString());
    value_->setText(key != nullptr ? Text(KeyValueShown(*track, *key)) : QString());
    for (std::size_t i = 0; i < extra_.size(); ++i) {
      extra_[i]->setText(key != nullptr ? ToQt(NumberText(key->Extra[i])) : QString());
    }
    pre_->setText(track != nullptr ? QString::number(track->PreI) : QString());
    post_->setText(track != nullptr ? QString::number(track->PostI) : QString());
  });
}

// ---- Dock paths -------------------------------------------------------------------------------

DockPathsTab::DockPathsTab(EditorForm& form) : ListTab(form, DockPathsTabDescription()) {
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Point"), this), 0, 0);
  points_ = new QSlider(Qt::Horizontal, this);
  points_->setObjectName(QStringLiteral("sldDOCKKeyF"));
  grid->addWidget(points_, 0, 1, 1, 3);
  const char* rows[] = {"Position", "Rotation"};
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (i % 3 == 0) {
      grid->addWidget(new QLabel(QString::fromLatin1(rows[i / 3]), this),
                      static_cast<int>(i / 3) + 1, 0);
    }
    fields_[i] = AddNumberBox(grid, static_cast<int>(i / 3) + 1, static_cast<int>(i % 3) + 1,
                              QStringLiteral("txtDOCKData%1").arg(i), kValidNumberField,
                              [this, i](double v) {
                                const auto path = Selected();
                                const auto point = Point();
                                if (!path || !point) return false;
                                DockPoint& p = model().DockPathList.Paths[*path].Points[*point];
                                float* values[] = {&p.Position.x, &p.Position.y, &p.Position.z,
                                                   &p.Rotation.x, &p.Rotation.y, &p.Rotation.z};
                                *values[i] = static_cast<float>(i >= 3 ? DegreesToRadians(v) : v);
                                return true;
                              });
  }
  const auto point_value = [this](float DockPoint::*field) {
    return [this, field](double v) {
      const auto path = Selected();
      const auto point = Point();
      if (!path || !point) return false;
      model().DockPathList.Paths[*path].Points[*point].*field = static_cast<float>(v);
      return true;
    };
  };
  grid->addWidget(new QLabel(QStringLiteral("Tolerance, max. speed"), this), 3, 0);
  tolerance_ = AddNumberBox(grid, 3, 1, QStringLiteral("txtDOCKTolerance"), kValidNumberField,
                            point_value(&DockPoint::PointTolerance));
  speed_ = AddNumberBox(grid, 3, 2, QStringLiteral("txtDOCKMaxSpeed"), kValidNumberField,
                        point_value(&DockPoint::MaxSpeed));
  global_ = new QCheckBox(QStringLiteral("Global properties"), this);
  global_->setObjectName(QStringLiteral("chkDOCKGlobalProperties"));
  local_ = new QCheckBox(QStringLiteral("Local properties (point)"), this);
  local_->setObjectName(QStringLiteral("chkDOCKLocallProperties"));
  grid->addWidget(global_, 4, 1);
  grid->addWidget(local_, 4, 2);
  static_cast<QBoxLayout*>(extra_layout())->addLayout(grid);
  connect(global_, &QCheckBox::clicked, this, [this](bool on) {
    const auto path = Selected();
    if (!checking() || !path) return;
    DockPath& p = model().DockPathList.Paths[*path];
    p.PathValue1 = p.PathValue2 = p.PathValue4 = on ? 1 : 0;
  });
  connect(local_, &QCheckBox::clicked, this, [this](bool on) {
    const auto path = Selected();
    const auto point = Point();
    if (!checking() || !path || !point) return;
    DockPoint& p = model().DockPathList.Paths[*path].Points[*point];
    p.LocalFlag1 = p.LocalFlag2 = p.LocalFlag3 = on ? 1 : 0;
  });

  auto* row = new QHBoxLayout;
  auto* add = AddButton(this, row, "cmdDOCKKeyFAdd", QStringLiteral("Add point"));
  auto* remove = AddButton(this, row, "cmdDOCKKeyFRemove", QStringLiteral("Remove point"));
  auto* position = AddButton(this, row, "cmdDOCKPosition", QStringLiteral("Position..."));
  row->addStretch();
  static_cast<QBoxLayout*>(extra_layout())->addLayout(row);

  connect(this, &ListTab::selectionChanged, this, &DockPathsTab::ShowPoints);
  connect(points_, &QSlider::valueChanged, this, &DockPathsTab::ShowPoint);
  const auto after = [this](const CommandResult& result) {
    ShowPoints();
    if (result.select) points_->setValue(static_cast<int>(*result.select));
  };
  connect(add, &QPushButton::clicked, this,
          [this, after] { after(AddDockPoint(model(), Selected())); });
  connect(remove, &QPushButton::clicked, this, [this, after] {
    if (const auto path = Selected()) {
      after(RemoveDockPoint(workspace(), path, Point().value_or(0), ui()));
    }
  });
  connect(position, &QPushButton::clicked, this, [this] {
    const auto path = Selected();
    const auto point = Point();
    const std::size_t paths = model().DockPathList.Paths.size();
    if (RefusePlacingWithoutSelection(path, paths, ui()) || !point) return;
    if (const auto picked = form_.PickPose(DockPointViewerPose(model(), *path, *point))) {
      PlaceDockPoint(model(), *path, *point, *picked);
      ShowPoint();
    }
  });
}

std::optional<std::size_t> DockPathsTab::Point() const {
  const auto path = Selected();
  if (!path) return std::nullopt;
  const auto& points = form_.workspace().model.DockPathList.Paths[*path].Points;
  const auto at = static_cast<std::size_t>(std::max(0, points_->value()));
  return at < points.size() ? std::optional<std::size_t>(at) : std::nullopt;
}

void DockPathsTab::Refresh() {
  ListTab::Refresh();
  ShowPoints();
}

void DockPathsTab::ShowPoints() {
  {
    const QSignalBlocker block(points_);
    const auto path = Selected();
    const int count = path ? static_cast<int>(model().DockPathList.Paths[*path].Points.size()) : 0;
    points_->setRange(0, std::max(0, count - 1));
  }
  ShowPoint();
}

void DockPathsTab::ShowPoint() {
  Filling([this] {
    const auto path = Selected();
    const auto point = Point();
    global_->setEnabled(path.has_value());
    if (path) {
      const DockPath& p = model().DockPathList.Paths[*path];
      global_->setChecked(p.PathValue1 != 0 || p.PathValue2 != 0 || p.PathValue4 != 0);
    }
    local_->setEnabled(point.has_value());
    if (!path || !point) {
      for (QLineEdit* box : fields_) EmptyBox(box);
      EmptyBox(tolerance_);
      EmptyBox(speed_);
      local_->setChecked(false);
      return;
    }
    const DockPoint& p = model().DockPathList.Paths[*path].Points[*point];
    const std::array<double, 6> shown = DockPointFields(p);
    for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(Text(shown[i]));
    local_->setChecked(p.LocalFlag1 != 0 || p.LocalFlag2 != 0 || p.LocalFlag3 != 0);
    tolerance_->setText(ToQt(NumberText(p.PointTolerance)));
    speed_->setText(ToQt(NumberText(p.MaxSpeed)));
  });
}

}  // namespace gantry
