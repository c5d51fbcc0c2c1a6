#pragma once

#include <QSize>
#include <optional>
#include <string>

class TFmMein;

namespace Settings {
struct Values;
}  // namespace Settings

// The window's settings file: read once at start into the window and its parts, written once when
// the window goes.
class TWindowSettings {
public:
    // window must outlive this part.
    TWindowSettings(TFmMein& window, std::string iniPath);

    void Read();
    // Saves every setting; on failure says so and returns false.
    bool Write();
    // The saved outer size, taken once the frame is known (or on the last try, given up).
    void ApplySavedOuterSize(bool lastTry);

private:
    // The saved place and size, where a screen shows them.
    void Place(const Settings::Values& values);

    TFmMein& window_;
    std::string iniPath_;
    std::optional<QSize> savedOuterSize_;
};
