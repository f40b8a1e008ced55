// Any bytes as the players file JUGADORES: opened to read and listed, then opened to write, a marking
// pass and a clear run on it. Each step ends within its time or is a hang; a database that cannot be used
// is an error, never a crash.
#include "core/players/MarkingPasses.h"
#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrders.h"
#include "FuzzSupport.h"

using namespace kivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return -1;
    const std::uint8_t choice = data[0];
    const auto file = fuzz::FreshFolder() / "JUGADORES";
    fuzz::WriteFile(file, data + 1, size - 1);
    {
        const fuzz::StepClock clock("listing JUGADORES");
        OpenAttempt attempt;
        auto db = PlayerDatabase::OpenReadOnly(file.string(), attempt);
        if (db) {
            PlayerListRequest request;
            request.order = PlayerOrder(choice % 10);
            request.limit = 30;
            (void)ListPlayers(*db, request);
        }
        clock.Check();
    }
    auto db = PlayerDatabase::Open(file.string(), false);
    if (!db) return 0;
    {
        const fuzz::StepClock clock("a marking pass on JUGADORES");
        fuzz::ClockedProgress progress(clock);
        SearchCriteria criteria;
        if (choice & 0x10) criteria.puesto = choice % 8;
        if (choice & 0x20) criteria.valorPaseMax = choice % 50;
        if (choice & 0x40) criteria.nacionalidad = choice;
        (void)BuscarYMarcar(*db, criteria, std::uint8_t(1 + choice % 9), progress);
        clock.Check();
    }
    {
        const fuzz::StepClock clock("clearing the marks of JUGADORES");
        fuzz::ClockedProgress progress(clock);
        (void)BorrarMarcas(*db, std::uint8_t(choice % 3), progress);
        clock.Check();
    }
    return 0;
}
