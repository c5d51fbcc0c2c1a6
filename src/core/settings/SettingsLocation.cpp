#include "core/settings/SettingsLocation.h"

#include "core/platform/SystemInfo.h"

namespace SettingsLocation {

std::optional<std::string> UsableFolder(const std::optional<std::string>& folder) {
    if (!folder || folder->empty() || folder->front() != '/') return std::nullopt;
    std::string result = *folder;
    while (result.size() > 1 && result.back() == '/')
        result.pop_back();
    if (result == "/") result.clear();  // so that appending "/x" gives "/x"
    return result;
}

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string BesidePath(std::string_view executablePath) {
    const auto slash = executablePath.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const auto dot = executablePath.rfind('.');
    // A dot that starts the name (".quorbel") is part of the name, not an extension.
    const bool hasExtension = dot != std::string_view::npos && dot > nameStart;
    return std::string(executablePath.substr(0, hasExtension ? dot : executablePath.size())) + ".ini";
}

Location Choose(const Facts& facts) {
    const bool besideKnown = !facts.executablePath.empty();
    if (besideKnown && facts.besideFolderWritable) {
        return {BesidePath(facts.executablePath), false};
    }
    std::optional<std::string> configHome = UsableFolder(facts.xdgConfigHome);
    if (!configHome) {
        if (const auto home = UsableFolder(facts.home)) configHome = *home + "/.config";
    }
    if (configHome) return {*configHome + "/quorbel/quorbel.ini", true};
    return {besideKnown ? BesidePath(facts.executablePath) : std::string(), false};
}

Facts GatherFacts() {
    return GatherFacts(SystemInfo::ExecutablePath());
}

Facts GatherFacts(const std::string& executablePath) {
    Facts facts;
    facts.executablePath = executablePath;
    if (!facts.executablePath.empty()) {
        facts.besideFolderWritable = SystemInfo::IsWritableFolder(FolderOf(facts.executablePath));
    }
    facts.xdgConfigHome = SystemInfo::EnvironmentValue("XDG_CONFIG_HOME");
    facts.home = HomeFolder();
    return facts;
}

std::optional<std::string> HomeFolder() {
    std::optional<std::string> home = SystemInfo::EnvironmentValue("HOME");
    if (!home || home->empty()) {
        const std::string fromUser = SystemInfo::HomeFolderOfUser();
        if (!fromUser.empty()) home = fromUser;
    }
    return home;
}

Location Find() {
    return Choose(GatherFacts());
}

}  // namespace SettingsLocation
