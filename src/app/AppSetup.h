#pragma once

class QApplication;

// What the application needs before its window opens:
// - the name that message boxes carry as their title ("Quorbel"), while every window's caption
//   stays exactly its own;
// - Qt's own texts for the standard buttons (Yes, No, Cancel) and the edit fields' context menus in
//   the language in use: Japanese from Qt's translation file (without it they stay English);
// - how the desktop recognises the program: the name of its menu entry (which Wayland compositors
//   use to find the icon and to group the windows) and the icon of its windows, built in so that a
//   program started from its build folder shows it too.
void SetUpApplication(QApplication& app);
