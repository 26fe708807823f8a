#pragma once
// Resource numbers shared by the resource script and the code. Plain #defines: the resource
// compiler reads this file too.

// The first icon is the one the shell shows for the program file.
#define IDI_LARKSPUR 1
#define IDI_TRAY 2
#define IDI_AUTO_DELETE 3
#define IDI_DELETE_NOW 4
#define IDI_SAVE_LOG 5
