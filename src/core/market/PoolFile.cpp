#include "core/market/PoolFile.h"

#include <filesystem>

#include "core/support/FileAccess.h"
#include "core/support/FileLookup.h"

namespace kivo {

Result<PoolFileContents> ReadPoolFile(const std::string& path) {
    const std::filesystem::path found = FindExistingFile(path);
    std::error_code ec;
    if (std::filesystem::is_directory(found, ec))
        return Error{"Cannot open " + path + ": it is a directory, not a pool file"};
    auto read = ReadWholeFile(found, kMaxPoolFileBytes);
    if (!read) return read.error();
    const std::vector<std::uint8_t> bytes(read->begin(), read->end());
    const std::size_t got = bytes.size();
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
