#include "core/settings/IniFile.h"

#include "core/support/FileAccess.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace kivo {

namespace {

namespace fs = std::filesystem;

// One line of the file: its text without the line end, and the line end as it was ("\r\n", "\n" or none
// for a last line without one).
struct Line {
    std::string text;
    std::string end;
};

// The file's lines; nothing for a missing file; nullopt when it exists but cannot be read whole (a
// directory, no permission, a read error, far too large for a settings file): a write must then refuse
// rather than replace the file by what little was read.
std::optional<std::vector<Line>> Load(const std::string& file) {
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (!fs::exists(status)) return std::vector<Line>{};
    auto bytes = ReadWholeFile(file, kMaxSettingsFileBytes);
    if (!bytes) return std::nullopt;
    const std::string& text = *bytes;
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        Line line;
        if (nl == std::string::npos) {
            line.text = text.substr(start);
            start = text.size();
        } else {
            line.text = text.substr(start, nl - start);
            line.end = "\n";
            start = nl + 1;
        }
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.end = "\r" + line.end;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Names match without regard to ASCII letter case, as the Windows profile functions match them.
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The section a line opens, if it is a section line.
std::optional<std::string> SectionOf(const std::string& line) {
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    const auto close = t.find(']');
    if (close == std::string::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

// The key of an entry line ("name=value"), if it is one.
std::optional<std::string> KeyOf(const std::string& line) {
    const std::string t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
    const auto eq = t.find('=');
    if (eq == std::string::npos) return std::nullopt;
    return Trim(t.substr(0, eq));
}

// Where the entry is: its section's line range and the entry line, if present.
struct Place {
    std::optional<std::size_t> sectionLine;
    std::size_t sectionEnd = 0; // one past the section's last line
    std::optional<std::size_t> entryLine;
};

Place Find(const std::vector<Line>& lines, const std::string& section, const std::string& key) {
    Place place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto name = SectionOf(lines[i].text)) {
            if (place.sectionLine) break; // the first section of that name is the one used
            if (SameName(*name, section)) place.sectionLine = i;
            continue;
        }
        if (!place.sectionLine) continue;
        place.sectionEnd = i + 1;
        if (!place.entryLine) {
            if (auto name = KeyOf(lines[i].text); name && SameName(*name, key)) place.entryLine = i;
        }
    }
    if (place.sectionLine && place.sectionEnd == 0) place.sectionEnd = *place.sectionLine + 1;
    return place;
}

// An INI entry is one line: a line break in a value (a file name may hold one) would start new lines that
// read back as other entries or sections; a NUL byte would end the text read back there.
bool HasLineBreak(const std::string& text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos;
}

// The file's own line end: the first line's, else CRLF as the platform writes it. A lone CR (a last line
// cut after it) is no line end to copy: a line written after it would be read as part of that line.
std::string LineEndOf(const std::vector<Line>& lines) {
    for (const Line& line : lines)
        if (!line.end.empty() && line.end != "\r") return line.end;
    return "\r\n";
}

// Whether text added after this line would run on into it.
bool Unended(const Line& line) {
    return line.end.empty() || line.end == "\r";
}

// The whole file replaced or none of it (a full disk leaves the old file whole), its permissions kept.
bool Save(const std::string& file, const std::vector<Line>& lines) {
    std::string bytes;
    for (const Line& line : lines)
        bytes += line.text + line.end;
    return ReplaceFileWhole(file, bytes).ok();
}

} // namespace

std::string ReadIniText(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& fallback) {
    const auto lines = Load(file);
    if (!lines) return fallback;
    const Place place = Find(*lines, section, key);
    if (!place.entryLine) return fallback;
    const std::string& text = (*lines)[*place.entryLine].text;
    return Trim(text.substr(text.find('=') + 1));
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
    auto loaded = Load(file);
    if (!loaded) return false;
    std::vector<Line>& lines = *loaded;
    const std::string eol = LineEndOf(lines);
    const Place place = Find(lines, section, key);
    if (place.entryLine) {
        // Only the value changes: the name as the file spells it, the line end as it was.
        std::string& text = lines[*place.entryLine].text;
        const std::size_t eq = text.find('=');
        if (Trim(text.substr(eq + 1)) == value) return true; // nothing to change, nothing written
        const std::size_t valueAt = std::min(text.size(), text.find_first_not_of(" \t", eq + 1));
        text = text.substr(0, valueAt) + value;
    } else if (place.sectionLine) {
        // After the section's last entry, before the blank lines that part it from the next section.
        std::size_t at = place.sectionEnd;
        while (at > *place.sectionLine + 1 && Trim(lines[at - 1].text).empty())
            --at;
        if (Unended(lines[at - 1])) lines[at - 1].end = eol;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{key + "=" + value, eol});
    } else {
        if (!lines.empty() && Unended(lines.back())) lines.back().end = eol;
        lines.push_back({"[" + section + "]", eol});
        lines.push_back({key + "=" + value, eol});
    }
    return Save(file, lines);
}

} // namespace kivo
