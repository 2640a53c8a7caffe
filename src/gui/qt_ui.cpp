#include "gui/qt_ui.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStringDecoder>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <utility>

#include "commands/element_messages.h"
#include "common/shared_text.h"
#include "common/text_encoding.h"

namespace gantry {
namespace {

QString Title() { return QString::fromLatin1(shared_text::kProgramTitle); }

QMessageBox::Icon QtIcon(Icon icon) {
  switch (icon) {
    case Icon::Critical:
      return QMessageBox::Critical;
    case Icon::Exclamation:
      return QMessageBox::Warning;
    case Icon::Information:
      return QMessageBox::Information;
    case Icon::Question:
      return QMessageBox::Question;
    case Icon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QString PatternsInBothCases(const QString& patterns) {
  QStringList out;
  for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    const QString trimmed = pattern.trimmed();
    out << trimmed;
    if (trimmed.toLower() != trimmed) out << trimmed.toLower();
    if (trimmed.toUpper() != trimmed) out << trimmed.toUpper();
  }
  out.removeDuplicates();
  return out.join(QLatin1Char(' '));
}

}  // namespace

QString ToQt(std::string_view text) {
  // Texts from HOD files are code page 1252, as the game's tools wrote them; paths from the
  // system's dialogs are UTF-8 and reach the same messages. A text that is valid UTF-8 is read
  // as such (ASCII reads the same either way, and accented code page 1252 is almost never valid
  // UTF-8).
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!utf8.hasError()) return decoded;
  return QString::fromStdString(Cp1252ToUtf8(text));
}

// What the user typed, as the code page 1252 bytes a HOD holds (the command line and glTF
// convert the same way).
std::string FromQt(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

std::string PathFromQt(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString PathToQt(std::string_view path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

QString QtFileFilter(std::string_view filter) {
  const QStringList parts = ToQt(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    // A description that names its patterns in brackets already ("HW2 Geometry Files (*.HOD)")
    // gets the patterns in both cases in their place, not a second bracket.
    if (description.endsWith(QLatin1Char(')')) && description.contains(QLatin1Char('('))) {
      description = description.left(description.lastIndexOf(QLatin1Char('('))).trimmed();
    }
    // A description without its pattern (the texture import's "*.DDS|*.*" has one of each, but
    // be forgiving) stands for itself.
    const QString patterns = i + 1 < parts.size() ? parts[i + 1] : description;
    if (description.isEmpty() && patterns.trimmed().isEmpty()) continue;
    filters << QStringLiteral("%1 (%2)").arg(description, PatternsInBothCases(patterns));
  }
  return filters.join(QStringLiteral(";;"));
}

void QtUi::AttachStatusBar(QLabel* status, QLabel* file_name, QProgressBar* progress) {
  status_ = status;
  file_name_ = file_name;
  progress_ = progress;
}

Answer QtUi::Message(std::string_view text, Icon icon, Buttons buttons) {
  return Show(text, icon, buttons, std::nullopt);
}

Answer QtUi::Ask(std::string_view text, Icon icon, Buttons buttons, Answer preselected) {
  return Show(text, icon, buttons, preselected);
}

Answer QtUi::Show(std::string_view text, Icon icon, Buttons buttons,
                  std::optional<Answer> preselected) {
  if (!show_boxes_) {
    // Nobody to answer: the text goes to the error stream and the question gets the answer
    // Enter would give.
    std::fprintf(
        stderr, "%s\n",
        ToQt(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toLocal8Bit().constData());
    if (preselected) return *preselected;
    switch (buttons) {
      case Buttons::Ok:
      case Buttons::OkCancel:
        return Answer::Ok;
      case Buttons::YesNo:
      case Buttons::YesNoCancel:
        return Answer::Yes;
    }
    return Answer::Ok;
  }
  QMessageBox box(QtIcon(icon), Title(), ToQt(text), QMessageBox::NoButton, parent_);
  box.setObjectName(QStringLiteral("msgBox"));
  QMessageBox::StandardButtons standard;
  QMessageBox::StandardButton fallback = QMessageBox::Ok;
  switch (buttons) {
    case Buttons::Ok:
      standard = QMessageBox::Ok;
      break;
    case Buttons::OkCancel:
      standard = QMessageBox::Ok | QMessageBox::Cancel;
      fallback = QMessageBox::Cancel;
      break;
    case Buttons::YesNo:
      standard = QMessageBox::Yes | QMessageBox::No;
      fallback = QMessageBox::No;
      break;
    case Buttons::YesNoCancel:
      standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      fallback = QMessageBox::Cancel;
      break;
  }
  box.setStandardButtons(standard);
  box.setEscapeButton(fallback);
  if (preselected) {
    const QMessageBox::StandardButton wanted = *preselected == Answer::Yes  ? QMessageBox::Yes
                                               : *preselected == Answer::No ? QMessageBox::No
                                               : *preselected == Answer::Ok ? QMessageBox::Ok
                                                                            : QMessageBox::Cancel;
    if (standard.testFlag(wanted)) box.setDefaultButton(wanted);
  }
  const int result = box.exec();
  switch (result) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    case QMessageBox::Ok:
      return Answer::Ok;
    default:
      // Closed by the window manager: whatever Escape would have answered.
      return buttons == Buttons::Ok      ? Answer::Ok
             : buttons == Buttons::YesNo ? Answer::No
                                         : Answer::Cancel;
  }
}

std::optional<std::string> QtUi::Input(std::string_view prompt, std::string_view initial) {
  if (!show_boxes_) return std::nullopt;
  QInputDialog dialog(parent_);
  dialog.setObjectName(QStringLiteral("inputBox"));
  dialog.setWindowTitle(Title());
  dialog.setLabelText(ToQt(prompt));
  dialog.setTextValue(ToQt(initial));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString answer = dialog.textValue();
  if (answer.isEmpty()) return std::nullopt;
  return FromQt(answer);
}

QString QtUi::StartFolder() const {
  if (!current_file_.isEmpty()) return QFileInfo(current_file_).absolutePath();
  return last_folder_;
}

std::optional<std::string> QtUi::Chosen(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  last_folder_ = QFileInfo(path).absolutePath();
  return PathFromQt(path);
}

std::optional<std::string> QtUi::OpenFile(std::string_view filter, std::string_view title) {
  if (!show_boxes_) return std::nullopt;
  return Chosen(QFileDialog::getOpenFileName(parent_, title.empty() ? Title() : ToQt(title),
                                             StartFolder(), QtFileFilter(filter)));
}

// Where a save dialog opens: the suggested file's name in the start folder, or the folder.
QString QtUi::OfferedSaveName() {
  const QString name = std::exchange(suggested_name_, QString());
  const QString start = StartFolder();
  return name.isEmpty() ? start : QDir(start).filePath(QFileInfo(name).fileName());
}

std::optional<std::string> QtUi::SaveFile(std::string_view filter, std::string_view title) {
  const QString offered = OfferedSaveName();
  if (!show_boxes_) return std::nullopt;
  return Chosen(QFileDialog::getSaveFileName(parent_, title.empty() ? Title() : ToQt(title),
                                             offered, QtFileFilter(filter)));
}

std::optional<std::string> QtUi::SaveFileOfType(std::string_view filter, std::string_view title,
                                                int& type) {
  const QString offered = OfferedSaveName();
  if (!show_boxes_) return std::nullopt;
  const QString filters = QtFileFilter(filter);
  const QStringList types = filters.split(QStringLiteral(";;"));
  QString selected = type >= 0 && type < types.size() ? types[type] : QString();
  const QString path = QFileDialog::getSaveFileName(parent_, title.empty() ? Title() : ToQt(title),
                                                    offered, filters, &selected);
  if (path.isEmpty()) return std::nullopt;
  if (const qsizetype chosen = types.indexOf(selected); chosen >= 0) {
    type = static_cast<int>(chosen);
  }
  return Chosen(path);
}

int QtUi::ChooseMaterial(std::string_view caption, const std::vector<std::string>& names) {
  if (!show_boxes_) return -1;
  namespace text = element_messages;
  QDialog dialog(parent_);
  dialog.setObjectName(QStringLiteral("frmChooseMaterial"));
  dialog.setWindowTitle(ToQt(caption));
  auto* layout = new QVBoxLayout(&dialog);
  auto* chooser = new QComboBox(&dialog);
  chooser->setObjectName(QStringLiteral("cboMaterialName"));
  for (const std::string& name : names) chooser->addItem(ToQt(name));
  if (names.empty()) chooser->addItem(QString::fromLatin1(text::kNoMaterialsEntry));
  chooser->setCurrentIndex(-1);  // the user chooses; nothing is chosen for them
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
  layout->addWidget(chooser);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    if (chooser->currentIndex() < 0) {
      Message(text::kSelectMaterial, Icon::Exclamation);
      return;
    }
    dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return -1;
  return chooser->currentIndex();
}

void QtUi::Status(std::string_view text) {
  if (status_) status_->setText(ToQt(text));
  KeepResponsive(true);
}

void QtUi::FileName(std::string_view name) {
  if (file_name_) file_name_->setText(ToQt(name));
}

void QtUi::Progress(std::int64_t value, std::int64_t maximum) {
  if (progress_ && (value >= maximum || value <= 0)) {
    // Done (or not begun): an empty bar, not a "100%" that stays until the next read.
    progress_->reset();
  } else if (progress_) {
    // QProgressBar counts in int; scale large byte counts down to per-mille.
    const int max = 1000;
    const double share =
        maximum > 0 ? static_cast<double>(value) / static_cast<double>(maximum) : 0;
    const int at = static_cast<int>(std::clamp(share, 0.0, 1.0) * max);
    progress_->setMaximum(max);
    progress_->setValue(at);
  }
  KeepResponsive(value >= maximum);
}

void QtUi::KeepResponsive(bool now) {
  if (!since_repaint_.isValid() || now || since_repaint_.elapsed() > 100) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    since_repaint_.restart();
  }
}

}  // namespace gantry
