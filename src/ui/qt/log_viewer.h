#pragma once
// The run log in a small read-only window of the program's own: no other program opens it, so
// viewing it leaves no trace anywhere (a browser would add it to its history).
#include <QDialog>

class QPlainTextEdit;

namespace larkspur {

class LogViewer final : public QDialog {
  Q_OBJECT

 public:
  explicit LogViewer(QWidget* parent);

  // Reads the log anew, newest run first, one line per run.
  void ShowLog(const QString& path);
  QString Text() const;

 private:
  QPlainTextEdit* text_;
};

}  // namespace larkspur
