#include "core/market/PoolFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/support/FileLookup.h"

namespace kivo {

Result<PoolFileContents> ReadPoolFile(const std::string& path) {
    const std::filesystem::path found = FindExistingFile(path);
    std::error_code ec;
    if (std::filesystem::is_directory(found, ec))
        return Error{"Cannot open " + path + ": it is a directory, not a pool file"};
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    errno = 0;
    std::unique_ptr<std::FILE, Closer> file(std::fopen(found.string().c_str(), "rb"));
    if (!file) return Error{"Cannot open " + path + ": " + SystemErrorText(errno ? errno : ENOENT)};
    const auto size = std::filesystem::file_size(found, ec);
    if (ec) return Error{"Cannot read " + path + ": " + ec.message()};
    if (size / kPoolRecordSize > kMaxPoolEntries)
        return Error{"Cannot read " + path + ": at " + std::to_string(size) +
                     " bytes it is far too large to be a pool file"};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (got != bytes.size() && std::ferror(file.get()))
        return Error{"Cannot read " + path + ": " + SystemErrorText(errno ? errno : EIO)};
    bytes.resize(got);
    PoolFileContents contents;
    const std::size_t whole = got / kPoolRecordSize;
    contents.entries.reserve(whole);
    for (std::size_t i = 0; i < whole; ++i)
        contents.entries.push_back(ParsePoolRecord(std::span<const std::uint8_t, kPoolRecordSize>(
            bytes.data() + i * kPoolRecordSize, kPoolRecordSize)));
    contents.trailing.assign(bytes.begin() + static_cast<std::ptrdiff_t>(whole * kPoolRecordSize),
                             bytes.end());
    return contents;
}

} // namespace kivo
