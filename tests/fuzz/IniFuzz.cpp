// Any bytes as an INI file: reading never fails or hangs, and writing one entry either refuses (the file
// untouched) or changes that entry's line alone — every other byte kept — and the entry reads back.
#include <algorithm>
#include <cstring>

#include "core/settings/IniFile.h"
#include "FuzzSupport.h"

using namespace kivo;

namespace {

// The section, key and value to write, taken from the input's first bytes (short names, so that they
// often meet the file's own).
std::string Take(const std::uint8_t*& data, std::size_t& size, std::size_t most) {
    const std::size_t n = size ? std::min<std::size_t>(data[0] % (most + 1), size - 1) : 0;
    std::string text(reinterpret_cast<const char*>(data + (size ? 1 : 0)), n);
    const std::size_t used = size ? n + 1 : 0;
    data += used;
    size -= used;
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string section = Take(data, size, 8), key = Take(data, size, 8), value = Take(data, size, 12);
    const auto file = fuzz::FreshFolder() / "ventanas.ini";
    fuzz::WriteFile(file, data, size);
    const std::string before(reinterpret_cast<const char*>(data), size);
    const fuzz::StepClock clock("the INI service");
    (void)ReadIniText(file.string(), section, key, "fallback");
    (void)ReadIniNumber(file.string(), section, key);
    const bool written = WriteIniText(file.string(), section, key, value);
    clock.Check();
    const std::string after = fuzz::ReadFile(file);
    if (!written) {
        if (after != before) fuzz::Finding("a refused write changed the file");
        return 0;
    }
    if (ReadIniText(file.string(), section, key, "\x01no entry") != value)
        fuzz::Finding("the entry does not read back");
    // Everything outside one stretch is kept, and what the old file had in that stretch is within one line.
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::string removed = before.substr(prefix, before.size() - prefix - suffix);
    if (removed.find('\n') != std::string::npos)
        fuzz::Finding("the write changed more than its entry's line");
    return 0;
}
