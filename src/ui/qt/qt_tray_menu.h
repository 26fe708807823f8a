#pragma once
// The tray icon's menu on Linux, one action a row of the tray menu table. Its first entry,
// "Show Larkspur", is the default action: the one an activation of the icon runs.
#include <QMenu>

#include "app/main_window.h"

namespace larkspur {

// A menu owned by `parent`, each of whose actions calls its row's handler of `behaviour`.
QMenu* MakeTrayMenu(MainWindow& behaviour, QWidget* parent);

}  // namespace larkspur
