#include "ui/qt/qt_tray_menu.h"

#include "app/tray_menu.h"

namespace larkspur {

QMenu* MakeTrayMenu(MainWindow& behaviour, QWidget* parent) {
  auto* menu = new QMenu(parent);
  for (const TrayMenuRow& row : kTrayMenu) {
    QAction* action = menu->addAction(
        QString::fromUtf8(row.caption.data(), static_cast<int>(row.caption.size())));
    QObject::connect(action, &QAction::triggered, menu,
                     [&behaviour, &row] { (behaviour.*row.choose)(); });
    if (row.ticked != nullptr) {
      action->setCheckable(true);
      // Asked afresh each time the menu opens: the state lives outside the program.
      QObject::connect(menu, &QMenu::aboutToShow, action, [&behaviour, &row, action] {
        action->setChecked((behaviour.*row.ticked)());
      });
    }
    if (menu->defaultAction() == nullptr)
      menu->setDefaultAction(action);
  }
  return menu;
}

}  // namespace larkspur
