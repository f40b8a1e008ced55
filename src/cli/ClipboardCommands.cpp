#include <iostream>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/RowWriter.h"
#include "core/clipboard/ClipboardStore.h"
#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamFile.h"
#include "core/players/KeyedFileOpen.h"
#include "core/support/FixedText.h"
#include "core/support/NameKey.h"

namespace kivo::cli {

namespace {

using json = nlohmann::ordered_json;

// A delete has nothing to take from a clipboard that is not there: it never makes one.
ClipboardStore OpenClipboard(bool createIfMissing = true) {
    const std::string path = kClipboardFileName;
    OpenAttempt attempt = OpenClipboardFile(path, createIfMissing);
    if (attempt.failure == OpenFailure::NotFound)
        Fail("There is no players clipboard " + path + " in this directory; nothing was deleted");
    if (attempt.failure == OpenFailure::KeysInvalid) {
        std::cerr << "kivo-cli: " << path << " key file is invalid (" << attempt.reason
                  << "); rebuilding the key\n";
        attempt = RebuildClipboardKeys(path);
        if (!attempt.ok()) Fail("Error: (" + attempt.reason + ") repairing key for " + path);
    }
    if (!attempt.ok()) Fail("File (" + path + ") could not be opened.  Error: " + attempt.reason + ".");
    auto store = ClipboardStore::Open(path, createIfMissing);
    if (!store) Fail(store.error().text);
    return std::move(*store);
}

// Opens portapap.tps to list it: nothing is created, repaired or changed.
ClipboardStore OpenClipboardToRead() {
    const std::string path = kClipboardFileName;
    OpenAttempt attempt;
    auto store = ClipboardStore::OpenReadOnly(path, attempt);
    if (attempt.failure == OpenFailure::NotFound)
        Fail("There is no players clipboard " + path +
             " in this directory; copying a player makes one: kivo-cli clipboard add TEAM_FILE K SLOT");
    if (!store) Fail(store.error().text);
    return std::move(*store);
}

// A code looked up from its text, or null when the text is in no table.
json CodeOf(std::optional<std::uint8_t> code) {
    return code ? json(*code) : json(nullptr);
}

std::vector<ClipboardEntry> AllEntries(ClipboardStore& store) {
    auto entries = store.List();
    if (!entries) Fail(entries.error().text);
    return std::move(*entries);
}

void List(bool asJson) {
    ClipboardStore store = OpenClipboardToRead();
    // Read in pages and written as read: memory stays the same whatever the size of the clipboard.
    RowWriter writer;
    std::string& out = writer.buffer();
    std::optional<ClipboardEntry> after;
    std::int64_t rows = 0;
    if (asJson) out += '[';
    for (;;) {
        auto page = store.List(after, 1000);
        if (!page) {
            writer.Flush();
            Fail(page.error().text);
        }
        if (page->empty()) break;
        for (const auto& e : *page) {
            const auto& r = e.record;
            if (asJson) {
                // The texts as stored, with the code of each beside it as team --json shows them.
                const json row = {{"name", Show(r.nombreJugador)},
                                  {"nationality", Show(r.nacionalidad)},
                                  {"nationality_code", CodeOf(NationalityCode(TrimRight(r.nacionalidad)))},
                                  {"shirt", r.nroCamiseta},
                                  {"face", r.aspecto},
                                  {"position", Show(r.puesto)},
                                  {"position_code", CodeOf(PositionCode(TrimRight(r.puesto)))},
                                  {"skills", std::vector<int>(r.skills.begin(), r.skills.end())},
                                  {"price", Show(r.valorPase)},
                                  {"price_code", CodeOf(PriceCode(TrimRight(r.valorPase)))}};
                out += rows ? ",\n  " : "\n  ";
                out += row.dump();
            } else {
                out += Printable(Show(r.nombreJugador));
                out += '\n';
            }
            ++rows;
            writer.RowDone();
        }
        // Each page must start after the last entry written, in (name key, place) order, or a damaged order
        // would lead round for ever.
        if (after) {
            const std::string lastKey = NameKey(after->record.nombreJugador);
            const std::string firstKey = NameKey(page->front().record.nombreJugador);
            if (firstKey < lastKey || (firstKey == lastKey && page->front().id <= after->id)) {
                writer.Flush();
                Fail("the name order of " + std::string(kClipboardFileName) +
                     " leads back to entries already listed: the file is damaged");
            }
        }
        after = page->back();
    }
    if (asJson) out += rows ? "\n]\n" : "]\n";
}

void Add(const std::string& file, const std::string& teamText, const std::string& slotText) {
    const long k = ParseNumber(teamText, "K");
    const long slot = ParseNumber(slotText, "SLOT");
    if (k < 0) UsageFail("K must be 0 or more, not " + teamText);
    if (slot < 1 || slot > static_cast<long>(kPlayersPerTeam))
        UsageFail("SLOT must be from 1 to 16, not " + slotText);
    auto team = ReadTeam(file, static_cast<std::uint64_t>(k));
    if (!team) Fail(team.error().text);
    const PlayerSlot& s = team->jugador[static_cast<std::size_t>(slot - 1)];
    const PlayerTransferRecord record = TransferFromTeamRow(DecodePlayerSlot(s), s);
    ClipboardStore store = OpenClipboard();
    auto id = store.Append(record);
    if (!id) Fail(id.error().text);
    std::cout << Printable(Show(record.nombreJugador)) << '\n';
}

// Letter case is ignored over Latin-1, accented letters included: "GONZÁLEZ" finds "gonzález".
std::string Folded(const std::string& text) {
    return FoldLatin1(TrimRight(text));
}

void Delete(const std::string& nameText) {
    const auto name = Utf8ToLatin1(nameText);
    if (!name) UsageFail("NAME \"" + nameText + "\" has characters that a game text cannot hold");
    ClipboardStore store = OpenClipboard(false);
    // Letter case is ignored, as in the clipboard's name order; the first in that order goes.
    for (const auto& e : AllEntries(store)) {
        if (Folded(e.record.nombreJugador) != Folded(*name)) continue;
        const ClipboardDeleteOutcome outcome = store.Delete(e.id);
        if (!outcome.ok()) Fail("An error was experienced deleting " + nameText + ": " + outcome.reason);
        return;
    }
    Fail("no player named \"" + nameText + "\" in the clipboard");
}

} // namespace

void AddClipboardCommands(CLI::App& app) {
    auto* clipboard =
        app.add_subcommand("clipboard", "The players clipboard portapap.tps in the current directory");
    clipboard->require_subcommand(1);
    clipboard->footer(
        "Examples:\n  kivo-cli clipboard add data/TEAM.005 0 7\n  kivo-cli clipboard list --json\n"
        "  kivo-cli clipboard delete 'gonzález'");

    auto* list = clipboard->add_subcommand("list", "The players with a name, in name order");
    auto asJson = std::make_shared<bool>(false);
    list->add_flag("--json", *asJson, "JSON output");
    list->callback([=] { List(*asJson); });

    auto* add = clipboard->add_subcommand("add", "Copy player SLOT (1..16) of team K (from 0) of TEAM_FILE");
    auto file = std::make_shared<std::string>();
    auto team = std::make_shared<std::string>();
    auto slot = std::make_shared<std::string>();
    add->add_option("TEAM_FILE", *file, "team or cup file")->required();
    add->add_option("K", *team, "team position in the file, from 0")->required();
    add->add_option("SLOT", *slot, "player slot, 1 to 16")->required();
    add->callback([=] { Add(*file, *team, *slot); });

    auto* del =
        clipboard->add_subcommand("delete", "Delete the first player of that name (letter case ignored)");
    auto name = std::make_shared<std::string>();
    del->add_option("NAME", *name, "player name")->required();
    del->callback([=] { Delete(*name); });
}

} // namespace kivo::cli
