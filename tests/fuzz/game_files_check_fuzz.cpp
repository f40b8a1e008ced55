// libFuzzer target for the readers behind the game-file check and the comparison: any bytes as a league
// file, a cup file and a pool, read, checked and compared with a copy cut short by one byte. Nothing may
// crash, hang or read outside the file; every failure is a value.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/inspect/GameDirectory.h"
#include "core/inspect/GameFilesCheck.h"
#include "core/inspect/GameFilesDiff.h"
#include "core/support/Progress.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

const fs::path& Scratch() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("kivo-fuzz-check-" + std::to_string(::getpid()));
        fs::create_directories(d / "old");
        fs::create_directories(d / "new");
        return d;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& dir = Scratch();
    for (const char* name : {"TEAM.001", "EUROCUP.TMD", "POOLPLYR.DAT"}) {
        Write(dir / "new" / name, data, size);
        Write(dir / "old" / name, data, size > 0 ? size - 1 : 0);
        const auto kind = kivo::GameFileKindOf(name);
        if (auto loaded = kivo::LoadGameFile((dir / "new" / name).string(), *kind); loaded) {
            std::vector<kivo::GameFileFinding> findings;
            for (std::size_t k = 0; k < loaded->teams.size(); ++k)
                kivo::CheckTeamRecord(name, static_cast<std::int64_t>(k), loaded->teams[k], findings);
        }
    }
    kivo::NoProgress quiet;
    (void)kivo::CheckGameFiles((dir / "new").string(), quiet);
    if (auto diffs = kivo::DiffGamePaths((dir / "old").string(), (dir / "new").string()); diffs)
        for (const auto& d : *diffs)
            (void)kivo::DifferenceLine(d);
    return 0;
}
