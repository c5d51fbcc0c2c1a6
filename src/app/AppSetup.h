#pragma once

class QApplication;

// What the application needs before its window opens: the display name that message boxes carry
// as their title ("Quorbel"), and Qt's own Japanese texts for the standard buttons (Yes, No,
// Cancel) and the edit fields' context menus. Without the translation file the texts stay English.
void SetUpApplication(QApplication& app);
