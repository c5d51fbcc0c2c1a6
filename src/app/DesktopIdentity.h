#pragma once

// How the desktop recognises the running program: the name of its menu entry (which Wayland
// compositors use to find the icon and to group the windows) and the icon of its windows, built in
// so that a program started from its build folder shows it too.
namespace DesktopIdentity {

// Call once the application object exists, before the first window is shown.
void Apply();

}  // namespace DesktopIdentity
