#include <iomanip>
#include <iostream>
#include <optional>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/RowWriter.h"
#include "core/gamefiles/AttributeTables.h"
#include "core/players/CrearArchivoJugadores.h"
#include "core/players/KeyedFileOpen.h"
#include "core/players/MarkingPasses.h"
#include "core/players/PlayerCsv.h"
#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrders.h"
#include "core/players/ProcesoActualizacionArchivo.h"
#include "core/support/FixedText.h"
#include "core/support/Progress.h"

namespace kivo::cli {

namespace {

using json = nlohmann::ordered_json;

long Ranged(const std::string& text, const std::string& what, long low, long high) {
    const long value = ParseNumber(text, what);
    if (value < low || value > high)
        UsageFail(what + " must be from " + std::to_string(low) + " to " + std::to_string(high) + ", not " +
                  text);
    return value;
}

constexpr const char* kMakeOne = "make one with: kivo-cli players build DATA_DIR";

// Opens JUGADORES in the start directory for a command that changes marks or rows. A missing database is
// an error (the marks of no database can be changed); orders that need it are rebuilt, as the editor
// offers to; a damaged file is named, with the command that makes a new one.
PlayerDatabase OpenDatabase() {
    const std::string path = kPlayerDatabaseFileName;
    OpenAttempt attempt = OpenPlayerDatabaseFile(path, false);
    if (attempt.failure == OpenFailure::NotFound)
        Fail("There is no player database " + path + " in this directory; " + kMakeOne);
    if (attempt.failure == OpenFailure::KeysInvalid) {
        std::cerr << "kivo-cli: " << path << " key file is invalid (" << attempt.reason
                  << "); rebuilding the keys\n";
        attempt = RebuildPlayerDatabaseKeys(path);
        if (!attempt.ok())
            Fail("Error: (" + attempt.reason + ") repairing key for " + path + ". The file is damaged; " +
                 kMakeOne);
    }
    if (!attempt.ok())
        Fail("File (" + path + ") could not be opened.  Error: " + attempt.reason + "." +
             (attempt.failure == OpenFailure::InvalidFile ? std::string(" ") + kMakeOne : std::string()));
    auto db = PlayerDatabase::Open(path, false);
    if (!db) Fail(db.error().text);
    return std::move(*db);
}

// Opens JUGADORES to list it: nothing is created, repaired or changed.
PlayerDatabase OpenDatabaseToRead() {
    const std::string path = kPlayerDatabaseFileName;
    OpenAttempt attempt;
    auto db = PlayerDatabase::OpenReadOnly(path, attempt);
    if (attempt.failure == OpenFailure::NotFound)
        Fail("There is no player database " + path + " in this directory; " + kMakeOne);
    if (attempt.failure == OpenFailure::KeysInvalid || attempt.failure == OpenFailure::InvalidFile)
        Fail(path + " is damaged (" + attempt.reason + "); " + kMakeOne);
    if (!db) Fail(db.error().text);
    return std::move(*db);
}

void Build(const std::string& directory) {
    auto progress = MakeTerminalProgress();
    auto summary = CrearArchivoJugadores(kPlayerDatabaseFileName, directory, *progress);
    progress.reset();
    if (!summary) Fail(summary.error().text);
    for (const std::string& skipped : summary->skipped)
        Warn(skipped + "; the file was left out");
    if (!summary->damagedKeptAs.empty())
        Warn(std::string("the old ") + kPlayerDatabaseFileName + " was damaged; it is kept as " +
             summary->damagedKeptAs);
    std::cout << summary->rows << " players of " << summary->teams << " teams from " << summary->filesRead
              << " team files";
    if (summary->stoppedAtFile != 0)
        std::cout << " (the scan ended at file " << summary->stoppedAtFile
                  << ", whose header cannot be read)";
    std::cout << '\n';
}

void Update(const std::string& file, const std::optional<std::string>& numberText, bool force) {
    std::uint16_t number = 0;
    if (numberText) {
        number = static_cast<std::uint16_t>(Ranged(*numberText, "N", 0, 65535));
    } else {
        const std::string name = TrimRight(file);
        if (name.size() < 3 || name.find_first_not_of("0123456789", name.size() - 3) != std::string::npos)
            UsageFail("the name " + file +
                      " does not end in a team file number; give N (the country code "
                      "whose rows are replaced) and --force");
        number = TeamFileNumberOf(file);
    }
    if (Status matches = CheckUpdateNumber(file, number); !matches && !force)
        UsageFail(matches.error().text + " Give --force to update anyway.");
    PlayerDatabase db = OpenDatabase();
    auto progress = MakeTerminalProgress();
    auto summary = ProcesoActualizacionArchivo(db, file, number, *progress);
    progress.reset();
    if (!summary) Fail(summary.error().text);
    std::cout << summary->deleted << " players deleted, " << summary->added << " added from "
              << summary->teams << " teams\n";
}

struct MarkOptions {
    std::string mark;
    std::optional<std::string> country, division, nationality, position, maxPrice;
    std::array<std::optional<std::string>, kSkillCount> skills;
};

// A table text or its code: "ARG" or "4" for a nationality, "1.1M" or "20" for a price.
// Letter case is ignored everywhere: "arg", "ARG" and "Arg" are one nationality, "premier" a division.
std::uint8_t CodeOf(const std::string& text, const std::string& what,
                    std::optional<std::string> (*textOf)(std::uint8_t), std::size_t count) {
    const auto latin1 = Utf8ToLatin1(text);
    std::string accepted;
    for (std::size_t code = 0; code < count; ++code) {
        const auto entry = textOf(static_cast<std::uint8_t>(code));
        if (!entry) continue;
        const std::string shown = TrimRight(*entry);
        if (latin1 && FoldLatin1(shown) == FoldLatin1(TrimRight(*latin1)))
            return static_cast<std::uint8_t>(code);
        // Tables repeat texts (several blank or "?" entries): each is named once.
        const std::string item = Latin1ToUtf8(shown);
        if (("|" + accepted + "|").find("|" + item + "|") == std::string::npos)
            accepted += (accepted.empty() ? "" : "|") + item;
    }
    for (auto at = accepted.find('|'); at != std::string::npos; at = accepted.find('|', at))
        accepted.replace(at, 1, ", ");
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
        return static_cast<std::uint8_t>(Ranged(text, what, 0, static_cast<long>(count) - 1));
    UsageFail(what + " \"" + text + "\" is not in its table; accepted: " + accepted + " or a code 0.." +
              std::to_string(count - 1));
}

void Mark(const MarkOptions& o) {
    const auto mark = static_cast<std::uint8_t>(Ranged(o.mark, "M", 0, 255));
    SearchCriteria c;
    if (o.country) c.pais = static_cast<std::uint8_t>(Ranged(*o.country, "--country", 0, 255));
    if (o.division) c.division = CodeOf(*o.division, "--division", DivisionText, kDivisionCount);
    if (o.nationality)
        c.nacionalidad = CodeOf(*o.nationality, "--nationality", NationalityText, kNationalityCount);
    if (o.position) c.puesto = CodeOf(*o.position, "--position", PositionText, kPositionCount);
    if (o.maxPrice) c.valorPaseMax = CodeOf(*o.maxPrice, "--max-price", PriceText, kPriceCount);
    static const char* names[kSkillCount] = {"--passing",      "--shooting", "--heading",  "--tackling",
                                             "--ball-control", "--speed",    "--finishing"};
    for (std::size_t s = 0; s < kSkillCount; ++s)
        if (o.skills[s]) c.minimums[s] = static_cast<std::uint8_t>(Ranged(*o.skills[s], names[s], 0, 255));
    PlayerDatabase db = OpenDatabase();
    auto progress = MakeTerminalProgress();
    auto outcome = BuscarYMarcar(db, c, mark, *progress);
    progress.reset();
    if (!outcome) Fail(outcome.error().text);
    std::cout << outcome->found << '\n';
    if (outcome->end == PassEnd::ReadError)
        Fail("An error was experienced reading the records of Jugadores (" + outcome->failure +
             "); the players marked before it keep their mark");
}

void Clear(const std::string& markText) {
    const auto mark = static_cast<std::uint8_t>(Ranged(markText, "M", 0, 255));
    PlayerDatabase db = OpenDatabase();
    auto progress = MakeTerminalProgress();
    auto outcome = BorrarMarcas(db, mark, *progress);
    progress.reset();
    if (!outcome) Fail(outcome.error().text);
    std::cout << outcome->found << '\n';
    if (outcome->end == PassEnd::ReadError)
        Fail("An error was experienced reading the records of Jugadores (" + outcome->failure +
             "); the marks cleared before it stay cleared");
}

// One row as JSON, the conventions of `team --json`: the text of each coded field under its name (null
// outside its table) and the code beside it as <name>_code.
void AppendPlayerJson(const PlayerRow& r, std::string& out) {
    out += "{\"country\": ";
    AppendJsonNumber(r.pais, out);
    out += ", \"country_name\": ";
    if (HasCountryName(r.pais))
        AppendJsonText(CountryName(r.pais), out);
    else
        out += "null";
    out += ", \"team\": ";
    AppendJsonField(r.nombreEquipo, out);
    out += ", \"division\": ";
    AppendJsonCode(DivisionText(r.division), out);
    out += ", \"division_code\": ";
    AppendJsonNumber(r.division, out);
    out += ", \"nationality\": ";
    AppendJsonCode(NationalityText(r.nacionalidad), out);
    out += ", \"nationality_code\": ";
    AppendJsonNumber(r.nacionalidad, out);
    out += ", \"shirt\": ";
    AppendJsonNumber(r.nroCamiseta, out);
    out += ", \"name\": ";
    AppendJsonField(r.nombreJugador, out);
    out += ", \"position\": ";
    AppendJsonCode(PositionText(r.puesto), out);
    out += ", \"position_code\": ";
    AppendJsonNumber(r.puesto, out);
    out += ", \"skills\": [";
    for (std::size_t s = 0; s < kSkillCount; ++s) {
        if (s) out += ", ";
        AppendJsonNumber(r.skills[s], out);
    }
    out += "], \"price\": ";
    AppendJsonCode(PriceText(r.valorPase), out);
    out += ", \"price_code\": ";
    AppendJsonNumber(r.valorPase, out);
    out += ", \"mark\": ";
    AppendJsonNumber(r.marca, out);
    out += '}';
}

const std::vector<std::string>& OrderNames() {
    static const std::vector<std::string> names = {
        "name",  "position",  "passing", "shooting", "heading",     "tackling", "ball-control",
        "speed", "finishing", "price",   "mark",     "nationality", "country"};
    return names;
}

void List(const std::string& orderName, const std::optional<std::string>& markText,
          const std::string& limitText, bool asJson, bool asCsv) {
    const auto order = PlayerOrderNamed(orderName);
    if (!order) {
        std::string accepted;
        for (const auto& name : OrderNames())
            accepted += (accepted.empty() ? "" : ", ") + name;
        UsageFail("unknown order \"" + orderName + "\"; did you mean " + Closest(orderName, OrderNames()) +
                  "? Accepted: " + accepted);
    }
    std::optional<std::uint8_t> mark;
    if (markText) mark = static_cast<std::uint8_t>(Ranged(*markText, "--mark", 0, 255));
    const long limit = Ranged(limitText, "--limit", 0, 1000000000);
    PlayerDatabase db = OpenDatabaseToRead();

    // Rows are written as they are read, so memory stays the same whatever the size of the database.
    RowWriter writer;
    std::string& out = writer.buffer();
    std::int64_t rows = 0;
    static const int widths[] = {11, 19, 10, 4, 3, 23, 4, 3, 3, 3, 3, 3, 3, 3, 5};
    auto table = [&](const std::vector<std::string>& c) {
        std::string line;
        for (std::size_t i = 0; i < c.size(); ++i) {
            std::string cell = c[i];
            // Pad by characters, not bytes: names may hold accented letters.
            std::size_t chars = 0;
            for (unsigned char ch : cell)
                chars += (ch & 0xC0) != 0x80;
            if (chars < static_cast<std::size_t>(widths[i])) cell += std::string(widths[i] - chars, ' ');
            line += cell + (i + 1 < c.size() ? " " : "");
        }
        out += TrimRight(line);
        out += '\n';
    };
    if (asJson) {
        out += '[';
    } else if (asCsv) {
        out += PlayerCsvHeader();
    } else {
        table({"File", "Team Name", "Div.", "Nat.", "N°", "Player Name", "Pos.", "PS", "SH", "HE", "TA", "BC",
               "SP", "FI", "Price"});
    }
    Status listed = ForEachPlayer(db, *order, mark, limit, [&](std::int64_t, const PlayerRow& r) {
        if (asJson) {
            out += rows ? ",\n  " : "\n  ";
            AppendPlayerJson(r, out);
        } else if (asCsv) {
            AppendPlayerCsvLine(r, out);
        } else {
            const PlayerRowTexts t = RowTexts(r);
            std::vector<std::string> c = {Printable(Show(t.country)),    Printable(Show(t.team)),
                                          Printable(Show(t.division)),   Printable(Show(t.nationality)),
                                          std::to_string(r.nroCamiseta), Printable(Show(t.name)),
                                          Printable(Show(t.position))};
            for (auto v : r.skills)
                c.push_back(std::to_string(v));
            c.push_back(Printable(Show(t.price)));
            table(c);
        }
        ++rows;
        writer.RowDone();
        return true;
    });
    if (asJson) out += rows ? "\n]\n" : "]\n";
    writer.Flush();
    if (!listed) Fail(listed.error().text);
}

} // namespace

void AddPlayerCommands(CLI::App& app) {
    auto* players =
        app.add_subcommand("players", "The all-players database JUGADORES in the current directory");
    players->require_subcommand(1);
    players->footer("Examples:\n  kivo-cli players build data\n  kivo-cli players mark 3 --nationality arg "
                    "--passing 12\n  kivo-cli players list --order mark --mark 3 --csv > marked.csv\n"
                    "  kivo-cli players clear 3");

    auto* build =
        players->add_subcommand("build", "Build JUGADORES anew from TEAM.001 to TEAM.085 of DATA_DIR");
    auto dir = std::make_shared<std::string>();
    build->add_option("DATA_DIR", *dir, "team files directory")->required();
    build->callback([=] { Build(*dir); });

    auto* update =
        players->add_subcommand("update", "Replace the players of country code N by those of TEAM_FILE");
    auto file = std::make_shared<std::string>();
    auto number = std::make_shared<std::optional<std::string>>();
    auto force = std::make_shared<bool>(false);
    update->add_option("TEAM_FILE", *file, "league team file to read")->required();
    update->add_option("N", *number,
                       "country code whose rows are replaced; default: the number the file name ends in");
    update->add_flag("--force", *force, "update even when N is not the file name's number");
    update->footer("Examples:\n  kivo-cli players update data/TEAM.005\n"
                   "  kivo-cli players update data/copy.txt 5 --force");
    update->callback([=] { Update(*file, *number, *force); });

    auto* mark =
        players->add_subcommand("mark", "Give mark M to every player meeting the criteria; prints the count");
    auto o = std::make_shared<MarkOptions>();
    mark->add_option("M", o->mark, "mark 0..255 (0 unmarks)")->required();
    mark->add_option("--country", o->country, "team-file country code (0 = any)");
    mark->add_option("--division", o->division,
                     "division: Premier, First, Second, Third, Non-League (any letter case) or 0..4");
    mark->add_option("--nationality", o->nationality, "nationality text (ARG) or code");
    mark->add_option("--position", o->position, "position: G RB LB D RW LW M A, or 0..7");
    static const char* skillOptions[kSkillCount] = {
        "--passing", "--shooting", "--heading", "--tackling", "--ball-control", "--speed", "--finishing"};
    for (std::size_t s = 0; s < kSkillCount; ++s)
        mark->add_option(skillOptions[s], o->skills[s], "at least this");
    mark->add_option("--max-price", o->maxPrice, "price text (1.1M) or code 0..49: at most this");
    mark->callback([=] { Mark(*o); });

    auto* clear = players->add_subcommand("clear", "Clear mark M (every mark when M is 0)");
    auto clearMark = std::make_shared<std::string>();
    clear->add_option("M", *clearMark, "mark")->required();
    clear->callback([=] { Clear(*clearMark); });

    auto* list = players->add_subcommand("list", "List the players in one of the browser's orders");
    auto order = std::make_shared<std::string>("name");
    auto listMark = std::make_shared<std::optional<std::string>>();
    auto limit = std::make_shared<std::string>("0");
    auto asJson = std::make_shared<bool>(false);
    auto asCsv = std::make_shared<bool>(false);
    list->add_option(
            "--order", *order,
            "name|position|passing|shooting|heading|tackling|ball-control|speed|finishing|price|mark|"
            "nationality|country")
        ->capture_default_str();
    list->add_option("--mark", *listMark, "only the players with this mark");
    list->add_option("--limit", *limit, "at most this many rows (0 = all)")->capture_default_str();
    auto* j = list->add_flag("--json", *asJson, "JSON output: one array, a row per player");
    auto* c = list->add_flag("--csv", *asCsv, "CSV output (CRLF), the names of the JSON fields as headers");
    j->excludes(c);
    list->callback([=] { List(*order, *listMark, *limit, *asJson, *asCsv); });
}

} // namespace kivo::cli
