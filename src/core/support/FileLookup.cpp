#include "core/support/FileLookup.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <system_error>

namespace kivo {

namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::filesystem::path FindExistingFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return path;
    std::filesystem::path dir = path.parent_path();
    if (dir.empty()) dir = ".";
    const std::string wanted = path.filename().string();
    std::filesystem::directory_iterator it(dir, ec);
    if (ec) return path;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        if (EqualIgnoringCase(it->path().filename().string(), wanted))
            return path.parent_path() / it->path().filename();
    }
    return path;
}

std::string SystemErrorText(int code) {
    return std::string(std::strerror(code)) + " (" + std::to_string(code) + ")";
}

} // namespace kivo
