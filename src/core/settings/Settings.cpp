#include "core/settings/Settings.h"

#include <algorithm>

#include "core/text/Translate.h"

namespace Settings {

Language::Spoken UseLanguage(const std::string& settingsPath) {
    const int choice = Read(TIniFile(settingsPath), {}).language;
    const Language::Spoken spoken =
        Language::Choose(Language::ChoiceFromNumber(choice), Translate::CurrentEnvironment());
    Translate::Use(spoken, Translate::CatalogueFolder());
    return spoken;
}

namespace {

// Edges in 64 bits: saved values may be anything an int holds.
long long Right(const Bounds& b) {
    return static_cast<long long>(b.left) + b.width;
}
long long Bottom(const Bounds& b) {
    return static_cast<long long>(b.top) + b.height;
}

// The area two bounds share; 0 when they do not overlap or either has no size.
long long OverlapArea(const Bounds& a, const Bounds& b) {
    const long long width = std::min(Right(a), Right(b)) - std::max<long long>(a.left, b.left);
    const long long height = std::min(Bottom(a), Bottom(b)) - std::max<long long>(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

std::string Key(std::size_t number) {
    return std::to_string(number);
}

// What an empty value among keys "0".."9" means for the list.
enum class Gap {
    kSkipped,  // nothing: the values after it belong to the list too
    kEnd,      // the end of the list
};
std::vector<std::string> ReadList(const TIniFile& ini, std::string_view section, Gap gap) {
    std::vector<std::string> list;
    for (std::size_t n = 0; n < static_cast<std::size_t>(kListKeys); ++n) {
        std::string value = ini.ReadString(section, Key(n), "");
        if (!value.empty()) {
            list.push_back(std::move(value));
        } else if (gap == Gap::kEnd) {
            break;
        }
    }
    return list;
}

// Keys "0".."9" emptied first, then every element under its index, however many there are.
void WriteUnlimitedList(TIniFile& ini, std::string_view section, const std::vector<std::string>& list) {
    for (int n = 0; n < kListKeys; ++n)
        ini.WriteString(section, Key(static_cast<std::size_t>(n)), "");
    for (std::size_t n = 0; n < list.size(); ++n)
        ini.WriteString(section, Key(n), list[n]);
}

// Exactly keys "0".."9": the first ten elements, empty values after the last.
void WriteLimitedList(TIniFile& ini, std::string_view section, const std::vector<std::string>& list) {
    for (std::size_t n = 0; n < static_cast<std::size_t>(kListKeys); ++n)
        ini.WriteString(section, Key(n), n < list.size() ? std::string_view(list[n]) : std::string_view());
}

}  // namespace

Values Read(const TIniFile& ini, const Bounds& designedWindow) {
    Values v;
    v.window.top = ini.ReadInteger("MeinForm", "Top", designedWindow.top);
    v.window.left = ini.ReadInteger("MeinForm", "Left", designedWindow.left);
    v.window.width = ini.ReadInteger("MeinForm", "Width", designedWindow.width);
    v.window.height = ini.ReadInteger("MeinForm", "Height", designedWindow.height);
    for (std::size_t i = 0; i < v.folderHistory.size(); ++i)
        v.folderHistory[i] = ini.ReadString("History", Key(i + 1), "");
    v.historyOn = ini.ReadBool("History", "On", true);
    for (int n = 1; n <= MoveDestinations::kSlotCount; ++n)
        v.moveDestinations.SetSlot(n, ini.ReadString("Move", Key(static_cast<std::size_t>(n)), ""));
    v.dialogOn = ini.ReadBool("Dialog", "On", true);
    v.formStyleOn = ini.ReadBool("FormStyle", "On", false);
    v.leadingHistory = ReadList(ini, "FarstHist", Gap::kSkipped);
    v.trailingHistory = ReadList(ini, "EndHist", Gap::kSkipped);
    v.extensionHistory = ReadList(ini, "ExtHist", Gap::kSkipped);
    v.targetHistory = ReadList(ini, "StrRenSose", Gap::kEnd);
    v.replacementHistory = ReadList(ini, "StrRenDest", Gap::kEnd);
    for (std::size_t i = 0; i < v.columnWidths.size(); ++i)
        v.columnWidths[i] = ini.ReadInteger("ColumSize", Key(i + 1), 0);
    v.dateBar = ini.ReadBool("Date", "Bar", true);
    v.dateEnd = ini.ReadBool("Date", "End", false);
    v.dateType = ini.ReadInteger("Date", "Type", 0);
    v.regexOn = ini.ReadBool("Regex", "On", false);
    v.previewOn = ini.ReadBool("Preview", "On", true);
    v.dateSource = ini.ReadInteger("Date", "Source", 0);
    v.language = ini.ReadInteger("Language", "Choice", 0);
    return v;
}

void Write(TIniFile& ini, const Values& v) {
    ini.WriteInteger("MeinForm", "Top", v.window.top);
    ini.WriteInteger("MeinForm", "Left", v.window.left);
    ini.WriteInteger("MeinForm", "Width", v.window.width);
    ini.WriteInteger("MeinForm", "Height", v.window.height);
    for (std::size_t i = 0; i < v.folderHistory.size(); ++i)
        ini.WriteString("History", Key(i + 1), v.folderHistory[i]);
    ini.WriteBool("History", "On", v.historyOn);
    for (int n = 1; n <= MoveDestinations::kSlotCount; ++n)
        ini.WriteString("Move", Key(static_cast<std::size_t>(n)), v.moveDestinations.Slot(n));
    ini.WriteBool("Dialog", "On", v.dialogOn);
    ini.WriteBool("FormStyle", "On", v.formStyleOn);
    WriteUnlimitedList(ini, "FarstHist", v.leadingHistory);
    WriteUnlimitedList(ini, "EndHist", v.trailingHistory);
    WriteUnlimitedList(ini, "ExtHist", v.extensionHistory);
    for (std::size_t i = 0; i < v.columnWidths.size(); ++i)
        ini.WriteInteger("ColumSize", Key(i + 1), v.columnWidths[i]);
    WriteLimitedList(ini, "StrRenSose", v.targetHistory);
    WriteLimitedList(ini, "StrRenDest", v.replacementHistory);
    ini.WriteBool("Regex", "On", v.regexOn);
    ini.WriteBool("Preview", "On", v.previewOn);
    ini.WriteBool("Date", "Bar", v.dateBar);
    ini.WriteBool("Date", "End", v.dateEnd);
    ini.WriteInteger("Date", "Type", v.dateType);
    ini.WriteInteger("Date", "Source", v.dateSource);
    ini.WriteInteger("Language", "Choice", v.language);
}

bool OnSomeScreen(const Bounds& window, const std::vector<Bounds>& screens) {
    if (window.width <= 0 || window.height <= 0) return false;
    return std::any_of(screens.begin(), screens.end(),
                       [&window](const Bounds& screen) { return OverlapArea(window, screen) > 0; });
}

Bounds FitToScreen(const Bounds& window, const std::vector<Bounds>& screens) {
    const auto holdsCorner = [&window](const Bounds& screen) {
        return screen.left <= window.left && window.left < Right(screen) && screen.top <= window.top &&
               window.top < Bottom(screen);
    };
    auto landing = std::find_if(screens.begin(), screens.end(), holdsCorner);
    if (landing == screens.end()) {
        landing =
            std::max_element(screens.begin(), screens.end(), [&window](const Bounds& a, const Bounds& b) {
                return OverlapArea(window, a) < OverlapArea(window, b);
            });
    }
    if (landing == screens.end() || OverlapArea(window, *landing) == 0) return window;
    const Bounds& screen = *landing;
    Bounds fitted = window;
    fitted.width = std::min(window.width, screen.width);
    fitted.height = std::min(window.height, screen.height);
    if (OverlapArea(fitted, screen) == 0) {
        fitted.left =
            static_cast<int>(std::clamp<long long>(fitted.left, screen.left, Right(screen) - fitted.width));
        fitted.top =
            static_cast<int>(std::clamp<long long>(fitted.top, screen.top, Bottom(screen) - fitted.height));
    }
    return fitted;
}

}  // namespace Settings
