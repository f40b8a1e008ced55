// Any bytes as the players clipboard portapap.tps: opened to read and listed, then an entry added and the
// first entry deleted. Each step ends within its time; a file that cannot be used is an error, never a
// crash, and an entry added reads back.
#include "core/clipboard/ClipboardStore.h"
#include "FuzzSupport.h"

using namespace kivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = fuzz::FreshFolder() / kClipboardFileName;
    fuzz::WriteFile(file, data, size);
    {
        const fuzz::StepClock clock("listing the clipboard");
        OpenAttempt attempt;
        auto store = ClipboardStore::OpenReadOnly(file.string(), attempt);
        if (store) (void)store->List({}, 50);
        clock.Check();
    }
    auto store = ClipboardStore::Open(file.string(), false);
    if (!store) return 0;
    const fuzz::StepClock clock("adding to and deleting from the clipboard");
    PlayerTransferRecord record;
    record.nombreJugador = "FUZZ PLAYER            ";
    const auto added = store->Append(record);
    if (added) {
        const auto back = store->Get(*added);
        if (back && (!*back || (*back)->record.nombreJugador != record.nombreJugador))
            fuzz::Finding("an entry added does not read back");
    }
    if (auto listed = store->List({}, 1); listed && !listed->empty())
        (void)store->Delete(listed->front().id, 200);
    clock.Check();
    return 0;
}
