#include <chrono>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <optional>

#include <nlohmann/json.hpp>
#include <unistd.h>

#include "cli/Commands.h"
#include "core/gamefiles/AttributeTables.h"
#include "core/players/CrearArchivoJugadores.h"
#include "core/players/KeyedFileOpen.h"
#include "core/players/MarkingPasses.h"
#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrders.h"
#include "core/players/ProcesoActualizacionArchivo.h"
#include "core/support/FixedText.h"
#include "core/support/Progress.h"

namespace kivo::cli {

namespace {

using json = nlohmann::ordered_json;

// One line rewritten in place; at most ten times a second, except when the phase changes.
class TerminalProgress final : public Progress {
public:
    ~TerminalProgress() override {
        if (shown_) std::cerr << '\n';
    }
    bool Update(const ProgressState& s) override {
        const auto now = std::chrono::steady_clock::now();
        const std::string phase = s.title + s.label1 + s.percentText;
        if (phase == lastPhase_ && now - last_ < std::chrono::milliseconds(100)) return true;
        lastPhase_ = phase;
        last_ = now;
        std::string line = s.title;
        if (!s.status.empty()) line += "  " + s.status;
        if (!s.label1.empty() || s.value1 >= 0) line += "  " + s.label1;
        if (s.value1 >= 0) line += " " + std::to_string(s.value1);
        if (!s.label2.empty()) line += "  " + s.label2;
        if (s.value2 >= 0) line += " " + std::to_string(s.value2);
        if (!s.text2.empty()) line += " " + Latin1ToUtf8(TrimRight(s.text2));
        if (!s.percentText.empty()) line += "  " + s.percentText;
        std::cerr << '\r' << line << "\x1b[K" << std::flush;
        shown_ = true;
        return true;
    }

private:
    std::string lastPhase_;
    std::chrono::steady_clock::time_point last_{};
    bool shown_ = false;
};

long Ranged(const std::string& text, const std::string& what, long low, long high) {
    const long value = ParseNumber(text, what);
    if (value < low || value > high)
        Fail(what + " must be from " + std::to_string(low) + " to " + std::to_string(high) + ", not " + text);
    return value;
}

// Opens JUGADORES in the start directory as the editor does: created when missing, its orders rebuilt
// when they need it.
PlayerDatabase OpenDatabase() {
    const std::string path = kPlayerDatabaseFileName;
    OpenAttempt attempt = OpenPlayerDatabaseFile(path, true);
    if (attempt.failure == OpenFailure::KeysInvalid) {
        std::cerr << "kivo-cli: " << path << " key file is invalid (" << attempt.reason
                  << "); rebuilding the keys\n";
        attempt = RebuildPlayerDatabaseKeys(path);
        if (!attempt.ok()) Fail("Error: (" + attempt.reason + ") repairing key for " + path);
    }
    if (!attempt.ok()) Fail("File (" + path + ") could not be opened.  Error: " + attempt.reason + ".");
    auto db = PlayerDatabase::Open(path, true);
    if (!db) Fail(db.error().text);
    return std::move(*db);
}

void Build(const std::string& directory) {
    auto progress = MakeTerminalProgress();
    auto summary = CrearArchivoJugadores(kPlayerDatabaseFileName, directory, *progress);
    progress.reset();
    if (!summary) Fail(summary.error().text);
    std::cout << summary->rows << " players of " << summary->teams << " teams from " << summary->filesRead
              << " team files";
    if (summary->stoppedAtFile != 0)
        std::cout << " (the scan ended at file " << summary->stoppedAtFile
                  << ", whose header cannot be read)";
    std::cout << '\n';
}

void Update(const std::string& file, const std::string& numberText) {
    const auto number = static_cast<std::uint16_t>(Ranged(numberText, "N", 0, 65535));
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
std::uint8_t CodeOf(const std::string& text, const std::string& what,
                    std::optional<std::uint8_t> (*lookup)(std::string_view), std::size_t count) {
    const auto latin1 = Utf8ToLatin1(text);
    if (latin1)
        for (auto candidate : {*latin1, [&] {
                                   std::string upper = *latin1;
                                   for (auto& c : upper)
                                       c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                                   return upper;
                               }()})
            if (auto code = lookup(candidate)) return *code;
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
        return static_cast<std::uint8_t>(Ranged(text, what, 0, static_cast<long>(count) - 1));
    Fail(what + " \"" + text + "\" is not in its table");
}

std::optional<std::uint8_t> DivisionCode(std::string_view text) {
    for (std::uint8_t code = 0; code < kDivisionCount; ++code)
        if (TrimRight(*DivisionText(code)) == TrimRight(text)) return code;
    return std::nullopt;
}

void Mark(const MarkOptions& o) {
    const auto mark = static_cast<std::uint8_t>(Ranged(o.mark, "M", 0, 255));
    SearchCriteria c;
    if (o.country) c.pais = static_cast<std::uint8_t>(Ranged(*o.country, "--country", 0, 255));
    if (o.division) c.division = CodeOf(*o.division, "--division", DivisionCode, kDivisionCount);
    if (o.nationality)
        c.nacionalidad = CodeOf(*o.nationality, "--nationality", NationalityCode, kNationalityCount);
    if (o.position) c.puesto = CodeOf(*o.position, "--position", PositionCode, kPositionCount);
    if (o.maxPrice) c.valorPaseMax = CodeOf(*o.maxPrice, "--max-price", PriceCode, kPriceCount);
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
}

void Clear(const std::string& markText) {
    const auto mark = static_cast<std::uint8_t>(Ranged(markText, "M", 0, 255));
    PlayerDatabase db = OpenDatabase();
    auto progress = MakeTerminalProgress();
    auto outcome = BorrarMarcas(db, mark, *progress);
    progress.reset();
    if (!outcome) Fail(outcome.error().text);
    std::cout << outcome->found << '\n';
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

void List(const std::string& orderName, const std::optional<std::string>& markText,
          const std::string& limitText, bool asJson, bool asCsv) {
    const auto order = PlayerOrderNamed(orderName);
    if (!order) Fail("unknown order \"" + orderName + "\"");
    std::optional<std::uint8_t> mark;
    if (markText) mark = static_cast<std::uint8_t>(Ranged(*markText, "--mark", 0, 255));
    const long limit = Ranged(limitText, "--limit", 0, 1000000000);
    PlayerDatabase db = OpenDatabase();

    // Read in pages so that a long listing never holds a read transaction for long.
    std::vector<PlayerListEntry> rows;
    PlayerListRequest request{.order = *order, .mark = mark, .limit = 1000};
    for (;;) {
        if (limit > 0)
            request.limit = std::min<std::size_t>(1000, static_cast<std::size_t>(limit) - rows.size());
        if (limit > 0 && request.limit == 0) break;
        auto page = ListPlayers(db, request);
        if (!page) Fail(page.error().text);
        if (page->empty()) break;
        request.after = page->back();
        std::move(page->begin(), page->end(), std::back_inserter(rows));
    }

    if (asJson) {
        json out = json::array();
        for (const auto& e : rows) {
            const PlayerRow& r = e.row;
            out.push_back({{"country", r.pais},
                           {"team", Show(e.texts.team)},
                           {"division", r.division},
                           {"nationality", r.nacionalidad},
                           {"shirt", r.nroCamiseta},
                           {"name", Show(e.texts.name)},
                           {"position", r.puesto},
                           {"skills", std::vector<int>(r.skills.begin(), r.skills.end())},
                           {"price", r.valorPase},
                           {"mark", r.marca}});
        }
        std::cout << out.dump(2) << '\n';
        return;
    }
    static const char* headers[] = {"File", "Team Name", "Div.", "Nat.", "N°", "Player Name", "Pos.", "PS",
                                    "SH",   "HE",        "TA",   "BC",   "SP", "FI",          "Price"};
    auto columns = [](const PlayerListEntry& e) {
        std::vector<std::string> c = {Show(e.texts.country),
                                      Show(e.texts.team),
                                      Show(e.texts.division),
                                      Show(e.texts.nationality),
                                      std::to_string(e.row.nroCamiseta),
                                      Show(e.texts.name),
                                      Show(e.texts.position)};
        for (auto s : e.row.skills)
            c.push_back(std::to_string(s));
        c.push_back(Show(e.texts.price));
        return c;
    };
    if (asCsv) {
        for (std::size_t i = 0; i < std::size(headers); ++i)
            std::cout << (i ? "," : "") << headers[i];
        std::cout << '\n';
        for (const auto& e : rows) {
            const auto c = columns(e);
            for (std::size_t i = 0; i < c.size(); ++i)
                std::cout << (i ? "," : "") << CsvField(c[i]);
            std::cout << '\n';
        }
        return;
    }
    static const int widths[] = {11, 19, 10, 4, 3, 23, 4, 3, 3, 3, 3, 3, 3, 3, 5};
    auto print = [&](const std::vector<std::string>& c) {
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
        std::cout << TrimRight(line) << '\n';
    };
    print(std::vector<std::string>(std::begin(headers), std::end(headers)));
    for (const auto& e : rows)
        print(columns(e));
}

} // namespace

std::unique_ptr<Progress> MakeTerminalProgress() {
    if (::isatty(STDERR_FILENO)) return std::make_unique<TerminalProgress>();
    return std::make_unique<NoProgress>();
}

void AddPlayerCommands(CLI::App& app) {
    auto* players =
        app.add_subcommand("players", "The all-players database JUGADORES in the current directory");
    players->require_subcommand(1);

    auto* build =
        players->add_subcommand("build", "Build JUGADORES anew from TEAM.001 to TEAM.085 of DATA_DIR");
    auto dir = std::make_shared<std::string>();
    build->add_option("DATA_DIR", *dir, "team files directory")->required();
    build->callback([=] { Build(*dir); });

    auto* update =
        players->add_subcommand("update", "Replace the players of country code N by those of TEAM_FILE");
    auto file = std::make_shared<std::string>();
    auto number = std::make_shared<std::string>();
    update->add_option("TEAM_FILE", *file, "league team file to read")->required();
    update->add_option("N", *number, "country code whose rows are replaced (the file's number)")->required();
    update->callback([=] { Update(*file, *number); });

    auto* mark =
        players->add_subcommand("mark", "Give mark M to every player meeting the criteria; prints the count");
    auto o = std::make_shared<MarkOptions>();
    mark->add_option("M", o->mark, "mark 0..255 (0 unmarks)")->required();
    mark->add_option("--country", o->country, "team-file country code (0 = any)");
    mark->add_option("--division", o->division,
                     "division: Premier, First, Second, Third, Non-League or 0..4");
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
    auto* j = list->add_flag("--json", *asJson, "JSON output");
    auto* c = list->add_flag("--csv", *asCsv, "CSV output with the browser's columns");
    j->excludes(c);
    list->callback([=] { List(*order, *listMark, *limit, *asJson, *asCsv); });
}

} // namespace kivo::cli
