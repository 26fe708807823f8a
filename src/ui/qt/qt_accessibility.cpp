#include "ui/qt/qt_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace larkspur {

namespace {

constexpr char kHidden[] = "larkspur-hidden-from-assistance";

class Unannounced final : public QAccessibleWidget {
 public:
  explicit Unannounced(QWidget* widget) : QAccessibleWidget(widget, QAccessible::NoRole) {}

  QString text(QAccessible::Text) const override { return {}; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = true;
    return state;
  }
};

QAccessibleInterface* HiddenWidgets(const QString&, QObject* object) {
  if (object == nullptr || !object->isWidgetType() || !object->property(kHidden).toBool())
    return nullptr;
  return new Unannounced(static_cast<QWidget*>(object));
}

}  // namespace

void HideFromAssistance(QWidget* widget) {
  static const bool installed = [] {
    QAccessible::installFactory(HiddenWidgets);
    return true;
  }();
  (void)installed;
  widget->setProperty(kHidden, true);
}

}  // namespace larkspur
