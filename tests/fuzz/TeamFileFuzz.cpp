// Any bytes as a league file TEAM.001 or a cup file EUROCUP.TMD: read whole and team by team, each team
// read is the file's bytes at its offset, and a team written back leaves every byte as it was.
#include <cstring>

#include "core/gamefiles/TeamFile.h"
#include "FuzzSupport.h"

using namespace kivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return -1;
    const bool cup = data[0] & 1;
    const auto file = fuzz::FreshFolder() / (cup ? "EUROCUP.TMD" : "TEAM.001");
    fuzz::WriteFile(file, data + 1, size - 1);
    const std::string path = file.string();
    const fuzz::StepClock clock("reading a team file");
    const auto teams = ReadTeams(path);
    clock.Check();
    {
        auto opened = TeamFile::Open(path, TeamFile::Mode::ReadWrite);
        if (!opened) return 0;
        const auto count = opened->CountTeams();
        if (teams && count && teams->size() != *count) fuzz::Finding("whole read and count differ");
        if (!teams) return 0;
        for (std::uint64_t k = 0; k < teams->size() && k < 4; ++k) {
            const auto bytes = SerializeTeamRecord((*teams)[k]);
            const std::uint64_t offset = TeamRecordOffset(path, k);
            if (offset + kTeamRecordSize > size - 1 ||
                std::memcmp(bytes.data(), data + 1 + offset, kTeamRecordSize))
                fuzz::Finding("a team read is not the file's bytes at its offset");
            const auto one = opened->ReadTeam(k);
            if (!one || *one != (*teams)[k]) fuzz::Finding("team by team differs from the whole read");
            if (!opened->WriteTeam(k, *one)) fuzz::Finding("writing a team back failed");
        }
        if (opened->ReadTeam(teams->size())) fuzz::Finding("a team past the end was read");
    }
    const std::string after = fuzz::ReadFile(file);
    if (after.size() != size - 1 || std::memcmp(after.data(), data + 1, size - 1) != 0)
        fuzz::Finding("writing teams back changed the file");
    return 0;
}
