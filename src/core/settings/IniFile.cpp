#include "core/settings/IniFile.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include <SimpleIni.h>

namespace kivo {

namespace {

// Loads the file into `ini`; false when it exists but cannot be read.
bool Load(CSimpleIniA& ini, const std::string& file) {
    ini.SetUnicode(false);
    ini.SetMultiKey(false);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return true;
    return ini.LoadFile(file.c_str()) >= 0;
}

// An INI entry is one line: a line break in a value (a file name may hold one) would start new lines that
// read back as other entries or sections.
bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

} // namespace

std::string ReadIniText(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& fallback) {
    CSimpleIniA ini;
    if (!Load(ini, file)) return fallback;
    const char* value = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return value ? std::string(value) : fallback;
}

long ReadIniNumber(const std::string& file, const std::string& section, const std::string& key) {
    const std::string text = ReadIniText(file, section, key, "");
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (value > 100000000L) break; // far beyond any stored coordinate; stop before overflow
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

bool WriteIniText(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    CSimpleIniA ini;
    if (!Load(ini, file)) return false;
    if (ini.SetValue(section.c_str(), key.c_str(), value.c_str()) < 0) return false;
    return ini.SaveFile(file.c_str(), false) >= 0;
}

} // namespace kivo
