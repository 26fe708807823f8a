#pragma once
// The window as it is laid out, whatever the desktop's theme: black text on white, group titles
// on the frame line as Windows draws them, pictures drawn at the screen's scale.
#include <QIcon>
#include <QPalette>
#include <QString>

class QGroupBox;
class QWidget;

namespace larkspur {

// Black on white for every role a control paints with; greyed text where it is disabled.
QPalette LaidOutPalette();
void PaintLaidOut(QWidget* widget);

// The title sits on the frame line, over a white frame inside.
void DrawTitleOnFrameLine(QGroupBox* frame);

// A picture drawn from its vector source ":/icons/src/NAME.svg" at `size` logical pixels, sharp
// at every scale of the screens; the rendered ":/icons/NAME.png" where the drawing cannot be read.
QIcon DrawnPicture(const QString& name, int size);

}  // namespace larkspur
