#include "ui/qt/status_text.h"

#include <algorithm>

namespace larkspur {

namespace {

const QString kEllipsis(QChar(0x2026));

QString EndAtWord(const QString& text, const QFontMetrics& metrics, int width) {
  for (qsizetype cut = text.lastIndexOf(' '); cut > 0; cut = text.lastIndexOf(' ', cut - 1)) {
    QString head = text.left(cut);
    // The word's own mark goes: "stayed…", not "stayed:…".
    while (!head.isEmpty() && QStringLiteral(" ,;:.").contains(head.back()))
      head.chop(1);
    if (!head.isEmpty() && metrics.horizontalAdvance(head + kEllipsis) <= width)
      return head + kEllipsis;
  }
  return metrics.elidedText(text, Qt::ElideRight, width);  // one word longer than the line
}

QString ElidePath(const QString& text, const QFontMetrics& metrics, int width) {
  const qsizetype name_at = std::max(text.lastIndexOf('/'), text.lastIndexOf('\\'));
  if (name_at > 0) {
    const QString name = text.mid(name_at);
    const int room = width - metrics.horizontalAdvance(name);
    if (room > metrics.horizontalAdvance(QStringLiteral("-->") + kEllipsis))
      return metrics.elidedText(text.left(name_at), Qt::ElideMiddle, room) + name;
  }
  return metrics.elidedText(text, Qt::ElideMiddle, width);
}

}  // namespace

QString FitStatusText(const QString& text, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(text) <= width)
    return text;
  return text.startsWith(QStringLiteral("-->")) ? ElidePath(text, metrics, width)
                                                : EndAtWord(text, metrics, width);
}

}  // namespace larkspur
