#pragma once

#include <string>

namespace kivo {

// The INI service, one entry at a time, like the platform's profile functions: every call reads the file
// afresh. A write changes only its entry's line (or adds the entry at the end of its section, or a new
// section at the end of the file): line ends (CRLF or LF), comments, blank lines, spacing and the order of
// everything else stay byte for byte. Section and entry names match without regard to ASCII letter case.
// Texts are bytes (section "Configuraci\xF3n" is 13 bytes); nothing is converted.

// The entry's text, or `fallback` when the file, section or entry is missing. Never creates a file.
std::string ReadIniText(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& fallback);

// The entry read as a decimal number: its leading digits (with an optional sign); missing or non-numeric
// is 0.
long ReadIniNumber(const std::string& file, const std::string& section, const std::string& key);

// Writes one entry, creating the file and the section when needed. Returns false, writing nothing, when
// the file cannot be read or written (a directory, a missing folder) or when the section, key or value
// holds a line break. The file is rewritten under a temporary name and renamed, so a failed write leaves
// it whole.
bool WriteIniText(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value);

} // namespace kivo
