// Any bytes as a league file, a cup file and a pool: read, checked and compared with a copy cut short by
// one byte, the readers behind the game-file check and the comparison. Nothing may crash, hang or read
// outside the file; every failure is a value.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/inspect/DataFolder.h"
#include "core/inspect/Soundness.h"
#include "core/inspect/Comparison.h"
#include "FuzzSupport.h"

using namespace kivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto folder = fuzz::FreshFolder();
    std::filesystem::create_directories(folder / "old");
    std::filesystem::create_directories(folder / "new");
    const fuzz::StepClock clock("the game-file check and comparison");
    for (const char* name : {"TEAM.001", "EUROCUP.TMD", "POOLPLYR.DAT"}) {
        fuzz::WriteFile(folder / "new" / name, data, size);
        fuzz::WriteFile(folder / "old" / name, data, size > 0 ? size - 1 : 0);
        const auto kind = GameFileKindOf(name);
        if (!kind) fuzz::Finding("a game file name has no kind");
        if (auto loaded = LoadGameFile((folder / "new" / name).string(), *kind); loaded) {
            std::vector<GameFileFinding> findings;
            for (std::size_t k = 0; k < loaded->teams.size(); ++k)
                CheckTeamRecord(name, static_cast<std::int64_t>(k), loaded->teams[k], findings);
        }
        clock.Check();
    }
    fuzz::ClockedProgress progress(clock);
    (void)CheckGameFiles((folder / "new").string(), progress);
    clock.Check();
    if (auto diffs = DiffGamePaths((folder / "old").string(), (folder / "new").string()); diffs)
        for (const auto& d : *diffs)
            (void)DifferenceLine(d);
    clock.Check();
    return 0;
}
