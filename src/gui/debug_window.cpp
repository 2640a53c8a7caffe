#include "gui/debug_window.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "common/debug_log.h"
#include "gui/qt_ui.h"
#include "gui/string_table.h"

namespace gantry {

DebugWindow::DebugWindow(DebugLog& log, QWidget* parent) : QWidget(parent), log_(log) {
  setObjectName(QStringLiteral("frmDebugWindow"));
  setWindowTitle(ToQt(strings::Entry(strings::kMessageWindow)));
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("txtDebug"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text_->setToolTip(ToQt(strings::Entry(3)));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text_);

  refill_.setSingleShot(true);
  refill_.setInterval(100);
  connect(&refill_, &QTimer::timeout, this, &DebugWindow::ShowLogNow);
  log_.set_listener([this](std::string_view) {
    if (!refill_.isActive()) refill_.start();
  });
  ShowLogNow();
}

DebugWindow::~DebugWindow() { log_.set_listener(nullptr); }

void DebugWindow::ShowLogNow() {
  refill_.stop();
  QString text = ToQt(log_.Text());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  // Texts read from files keep their terminating NULs; they would show as boxes.
  text.remove(QChar(u'\0'));
  text_->setPlainText(text);
}

QString DebugWindow::ShownText() const { return text_->toPlainText(); }

}  // namespace gantry
