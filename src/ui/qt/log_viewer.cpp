#include "ui/qt/log_viewer.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/qt/qt_look.h"

namespace larkspur {

namespace {

constexpr qint64 kShownBytes = 1 << 20;  // the newest megabyte: years of runs

}  // namespace

LogViewer::LogViewer(QWidget* parent) : QDialog(parent), text_(new QPlainTextEdit(this)) {
  setWindowTitle(tr("Larkspur Save Log"));
  setPalette(LaidOutPalette());
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setPlaceholderText(tr("No run has been logged yet."));
  text_->setAccessibleName(tr("Save log, newest run first"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(buttons);
  resize(640, 320);
}

void LogViewer::ShowLog(const QString& path) {
  QFile file(path);
  QStringList lines;
  if (file.open(QIODevice::ReadOnly)) {
    if (file.size() > kShownBytes)
      file.seek(file.size() - kShownBytes);
    lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    if (file.size() > kShownBytes && !lines.isEmpty())
      lines.removeFirst();  // begun mid-line
  }
  std::reverse(lines.begin(), lines.end());
  text_->setPlainText(lines.join('\n'));
  show();
  raise();
  activateWindow();
}

QString LogViewer::Text() const {
  return text_->toPlainText();
}

}  // namespace larkspur
