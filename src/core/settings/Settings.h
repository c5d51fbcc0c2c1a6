#pragma once

// Everything that survives a restart, as one plain value, and its reading from and writing to the
// settings file. Texts are code page 932.

#include <array>
#include <string>
#include <vector>

#include "core/settings/FolderHistory.h"
#include "core/settings/IniFile.h"
#include "core/settings/MoveDestinations.h"
#include "core/text/Language.h"

namespace Settings {

// A window's outer bounds in screen pixels.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

// Lists read back from the file: at most this many elements (keys "0".."9").
constexpr int kListKeys = 10;

struct Values {
    Bounds window;                                // "MeinForm"
    FolderHistory::Slots folderHistory;           // "History" "1".."5"
    bool historyOn = true;                        // "History" "On"
    MoveDestinations::History moveDestinations;   // "Move" "1".."3"
    bool dialogOn = true;                         // "Dialog" "On"
    bool formStyleOn = false;                     // "FormStyle" "On"
    std::vector<std::string> leadingHistory;      // "FarstHist"
    std::vector<std::string> trailingHistory;     // "EndHist"
    std::vector<std::string> extensionHistory;    // "ExtHist"
    std::array<int, 3> columnWidths{};            // "ColumSize" "1".."3"; 0 = no width known
    std::vector<std::string> targetHistory;       // "StrRenSose"
    std::vector<std::string> replacementHistory;  // "StrRenDest"
    bool regexOn = false;                         // "Regex" "On"
    bool previewOn = true;                        // "Preview" "On"
    bool dateBar = true;                          // "Date" "Bar"
    bool dateEnd = false;                         // "Date" "End"
    int dateType = 0;                             // "Date" "Type"
    int dateSource = 0;                           // "Date" "Source": 0 modification time, 1 date taken
    int language = 0;                             // "Language" "Choice": a Language::Choice
    friend bool operator==(const Values&, const Values&) = default;
};

// Every key with its default for a missing file, section or key; the window's bounds default to
// the given ones. The unlimited histories skip empty values; the limited ones end at the first.
Values Read(const TIniFile& ini, const Bounds& designedWindow);

// Puts to use the language chosen by the settings file at the path (read, never written) and the
// environment. Call it before any text is built; the window once its application object stands.
Language::Spoken UseLanguage(const std::string& settingsPath);
// Sets every key, in the order a fresh file lists them. The caller saves the file.
void Write(TIniFile& ini, const Values& values);

// True when the bounds have a size and overlap at least one of the screens (their available
// areas): a window saved on a monitor since removed is not to be opened there.
bool OnSomeScreen(const Bounds& window, const std::vector<Bounds>& screens);

// Bounds on some screen (OnSomeScreen) with their size cut to the screen they land on: the one
// holding their top-left corner, else the one they overlap most. A window that the smaller size
// takes out of that screen's sight is moved back into it; other places stay as saved.
Bounds FitToScreen(const Bounds& window, const std::vector<Bounds>& screens);

}  // namespace Settings
