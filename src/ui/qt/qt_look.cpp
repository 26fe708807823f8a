#include "ui/qt/qt_look.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSvgRenderer>
#include <QWidget>
#include <set>

namespace larkspur {

QPalette LaidOutPalette() {
  const QColor black(Qt::black);
  const QColor white(Qt::white);
  // Windows' own greys and selection, so that frames and bevels look as they do there.
  QPalette palette(black, white, white, QColor(0xA0, 0xA0, 0xA0), QColor(0xE3, 0xE3, 0xE3), black,
                   white, white, white);
  palette.setColor(QPalette::Midlight, QColor(0xF0, 0xF0, 0xF0));
  palette.setColor(QPalette::Shadow, QColor(0x69, 0x69, 0x69));
  palette.setColor(QPalette::AlternateBase, white);
  palette.setColor(QPalette::Highlight, QColor(0x00, 0x78, 0xD7));
  palette.setColor(QPalette::HighlightedText, white);
  palette.setColor(QPalette::PlaceholderText, QColor(0x6D, 0x6D, 0x6D));
  for (const QPalette::ColorRole text :
       {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(QPalette::Disabled, text, QColor(0x6D, 0x6D, 0x6D));
  return palette;
}

void PaintLaidOut(QWidget* widget) {
  widget->setPalette(LaidOutPalette());
  widget->setAutoFillBackground(true);
}

void DrawTitleOnFrameLine(QGroupBox* frame) {
  // The line runs through the middle of the title's first line, as Windows draws it.
  frame->setStyleSheet(
      "QGroupBox { background: white; border: 1px solid #DCDCDC; margin-top: 0.6em; }"
      "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px;"
      " padding: 0 2px; color: black; background: white; }"
      "QGroupBox::title:disabled { color: #6D6D6D; }");
}

QIcon DrawnPicture(const QString& name, int size) {
  QSvgRenderer drawing(QStringLiteral(":/icons/src/%1.svg").arg(name));
  if (!drawing.isValid())
    return QIcon(QStringLiteral(":/icons/%1.png").arg(name));
  // One rendering per scale in use, and the common ones, so that a move to another screen
  // finds its own.
  std::set<qreal> scales{1.0, 2.0};
  for (const QScreen* screen : QGuiApplication::screens())
    scales.insert(screen->devicePixelRatio());
  QIcon icon;
  for (const qreal scale : scales) {
    const int pixels = qRound(size * scale);
    QPixmap picture(pixels, pixels);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    drawing.render(&painter);
    painter.end();
    picture.setDevicePixelRatio(scale);
    icon.addPixmap(picture);
  }
  return icon;
}

}  // namespace larkspur
