#pragma once
// What of a status text fits the status line at its font.
#include <QFontMetrics>
#include <QString>

namespace larkspur {

// A progress line ("-->" and a path) loses the middle of its folder, so that the file's name
// shows; any other text ends at a word with "…". A text that fits comes back as it is.
QString FitStatusText(const QString& text, const QFontMetrics& metrics, int width);

}  // namespace larkspur
