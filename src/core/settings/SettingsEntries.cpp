#include "core/settings/SettingsEntries.h"

#include <cstdlib>

#include "core/settings/IniFile.h"

namespace kivo {

std::string DefaultDataDirectory() {
#ifdef _WIN32
    return "c:\\kivo\\data";
#else
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/kivo/data";
#endif
}

std::string ReadDataDirectory(const std::string& ventanasPath) {
    return ReadIniText(ventanasPath, kConfigSection, kDirectorioKivo, DefaultDataDirectory());
}

std::string ReadAnyFileDirectory(const std::string& ventanasPath) {
    return ReadIniText(ventanasPath, kConfigSection, kPathArchivosTeam, DefaultDataDirectory());
}

std::string ReadLastTeamFile(const std::string& ventanasPath) {
    return ReadIniText(ventanasPath, kConfigSection, kPathEquipo, "");
}

} // namespace kivo
