#pragma once

#include <QIcon>

// The tool bar's image list, images 0-13. Images that stand for a state (2, 3, 7-11) are the
// program's own; the others come from the desktop icon theme when one is installed.
namespace ImageList {

constexpr int kCount = 14;
enum : int {
    kOpenFolder = 0,
    kNextFolder = 1,
    kHistorySlot = 2,  // a history slot holding a folder
    kEmptySlot = 3,    // an empty slot; also the move switch when off
    kClearHistory = 4,
    kUndo = 5,
    kMoveFolder = 6,
    kCurrentDestination = 7,
    kMoveOn = 8,
    kRegisteredSlot = 9,
    kReload = 10,      // re-read, a folder to re-read is known
    kReloadNone = 11,  // re-read, nothing to re-read yet
    kExit = 12,
    kPreview = 13,  // the preview of the coming names on or off
};

QIcon Icon(int index);

}  // namespace ImageList
