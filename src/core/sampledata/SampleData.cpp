#include "core/sampledata/SampleData.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <random>
#include <string_view>
#include <vector>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/Catalogue.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamRecord.h"
#include "core/support/FileAccess.h"
#include "core/support/FixedText.h"

namespace kivo {

namespace {

// Name parts; "\xE9" and friends are Latin-1 letters, as the game stores them.
constexpr std::string_view kFirstNames[] = {
    "Jos\xE9", "Andr\xE9s", "J\xFCrgen", "Fran\xE7ois", "Ra\xFAl",     "Bj\xF6rn", "S\xF8ren", "Jo\xE3o",
    "Iv\xE1n", "Mario",     "Paolo",     "Hans",        "Peter",       "John",     "David",    "Luis",
    "Carlos",  "Pedro",     "Marco",     "Stefan",      "Tom\xE1\x73", "Ole",      "Erik",     "Gary",
    "Alan",    "Roberto",   "Diego",     "Sergio",      "Nikos",       "Dmitri",   "Andrei",   "Kenji",
    "Samuel",  "Kofi",      "Ahmed",     "Luca",        "Ant\xF3nio",  "Jean",     "Michel",   "Rui",
    "Mateo",   "Igor",      "Zoran",     "Ferenc",      "Jan"};
constexpr std::string_view kSurnames[] = {"M\xFCller",
                                          "N\xFA\xF1\x65z",
                                          "Garc\xED"
                                          "a",
                                          "L\xF3pez",
                                          "Fern\xE1ndez",
                                          "Gonz\xE1lez",
                                          "Rodr\xEDguez",
                                          "Smith",
                                          "Jones",
                                          "Brown",
                                          "Rossi",
                                          "Bianchi",
                                          "Schmidt",
                                          "Schneider",
                                          "Dubois",
                                          "Lef\xE8vre",
                                          "Jensen",
                                          "Hansen",
                                          "Johansson",
                                          "Nielsen",
                                          "Kowalski",
                                          "Nov\xE1k",
                                          "Horv\xE1th",
                                          "Petrov",
                                          "Ivanov",
                                          "Silva",
                                          "Santos",
                                          "Costa",
                                          "Pereira",
                                          "Alves",
                                          "O'Brien",
                                          "McAllister",
                                          "Van Dijk",
                                          "De Jong",
                                          "Papadopoulos",
                                          "Yilmaz",
                                          "Kovac",
                                          "Popescu",
                                          "Andersson",
                                          "Larsen",
                                          "Moreau",
                                          "Ba\xF1os",
                                          "S\xE1nchez",
                                          "Mart\xEDnez",
                                          "P\xE9rez",
                                          "G\xF3mez",
                                          "D\xED"
                                          "az",
                                          "Hern\xE1ndez",
                                          "Jim\xE9nez"};
constexpr std::string_view kTownParts[] = {"Real",   "Atl\xE9tico", "Sporting",  "Dynamo",    "Olympic",
                                           "United", "City",        "Rovers",    "Athletic",  "Union",
                                           "Racing", "Club",        "Inter",     "Lokomotiv", "Red Star",
                                           "FC",     "Academica",   "Deportivo", "Wanderers", "Royal"};
constexpr std::string_view kTowns[] = {
    "Norden",        "Sudport",    "Westby",      "Ostend", "Montal",  "Vallera",  "Cors\xE1", "Bergen",
    "Lindau",        "Porto Alto", "Rivera",      "Kastel", "Dunmore", "Ashford",  "Brava",    "Solano",
    "M\xE1laga Sur", "Ravna",      "Tirol",       "Kalm",   "Villar",  "Sant\xE9", "Aldea",    "Hafen",
    "Riverton",      "Greenhill",  "Stonebridge", "Marlow", "Zorn",    "Palma"};

// The usual nationality of a country's league, by file number; files not listed draw any nationality.
constexpr std::pair<int, std::string_view> kHomeNationality[] = {
    {0, "ALB"},  {1, "AUT"},  {2, "BEL"},  {3, "BUL"},  {4, "CRO"},  {5, "CYP"},  {6, "TCH"},  {7, "DEN"},
    {8, "ENG"},  {10, "EST"}, {11, "FAR"}, {12, "FIN"}, {13, "FRA"}, {14, "GER"}, {15, "GRE"}, {16, "HUN"},
    {17, "ISL"}, {18, "IRL"}, {19, "ISR"}, {20, "ITA"}, {21, "LAT"}, {22, "LIT"}, {23, "LUX"}, {24, "MLT"},
    {25, "HOL"}, {26, "NIR"}, {27, "NOR"}, {28, "POL"}, {29, "POR"}, {30, "ROM"}, {31, "RUS"}, {32, "SMR"},
    {33, "SCO"}, {34, "SLO"}, {35, "ESP"}, {36, "SWE"}, {37, "SWI"}, {38, "TUR"}, {39, "UKR"}, {40, "WAL"},
    {41, "YUG"}, {42, "ALG"}, {43, "ARG"}, {44, "AUS"}, {45, "BOL"}, {46, "BRA"}, {47, "CRC"}, {48, "CHL"},
    {49, "COL"}, {50, "ECU"}, {51, "SAL"}, {55, "JAP"}, {57, "KOR"}, {59, "MLY"}, {60, "MEX"}, {62, "NZL"},
    {64, "PAR"}, {65, "PER"}, {66, "SUR"}, {67, "TAI"}, {69, "SAF"}, {70, "TAN"}, {71, "URU"}, {73, "USA"},
    {75, "IND"}, {76, "BLS"}, {77, "VEN"}, {78, "SVK"}, {79, "GHA"}};

// Positions of the sixteen slots: a keeper, defenders, midfielders, forwards, then the bench.
constexpr std::array<std::string_view, kPlayersPerTeam> kSquad = {
    "G", "RB", "D", "D", "LB", "RW", "M", "M", "LW", "A", "A", "G", "D", "M", "A", "LB"};

// File numbers written besides the catalogue's: two without a button, and one beyond the batch scan.
constexpr int kExtraFiles[] = {9, 52, 86};

constexpr std::size_t kPoolRecordSize = 58;

class Generator {
public:
    explicit Generator(std::uint32_t seed) : rng_(seed) {}

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    template <class T, std::size_t N> const T& Pick(const T (&items)[N]) {
        return items[static_cast<std::size_t>(Uniform(0, static_cast<int>(N) - 1))];
    }

    std::string PlayerName() {
        std::string name = std::string(Pick(kSurnames));
        if (Chance(0.6)) name = std::string(1, Pick(kFirstNames)[0]) + ". " + name;
        return name.substr(0, kPlayerNameWidth);
    }

    std::string CoachName() {
        return (std::string(Pick(kFirstNames)) + " " + std::string(Pick(kSurnames)))
            .substr(0, kCoachNameWidth);
    }

    std::string TeamName() {
        std::string name = Chance(0.5) ? std::string(Pick(kTownParts)) + " " + std::string(Pick(kTowns))
                                       : std::string(Pick(kTowns)) + " " + std::string(Pick(kTownParts));
        return name.substr(0, kTeamNameWidth);
    }

    std::uint8_t Nationality(int fileNumber) {
        if (Chance(0.8)) {
            for (const auto& [file, nat] : kHomeNationality)
                if (file == fileNumber) return *NationalityCode(nat);
        }
        return static_cast<std::uint8_t>(Uniform(0, static_cast<int>(kNationalityCount) - 1));
    }

    // Skills drawn around a team's strength; a division lower down plays weaker.
    Skills PlayerSkills(int strength) {
        Skills s{};
        for (auto& v : s)
            v = static_cast<std::uint8_t>(std::clamp(strength + Uniform(-5, 4), 0, 15));
        return s;
    }

    TeamRecord Team(int fileNumber, int k, std::uint16_t generalNumber, int teamsInFile) {
        TeamRecord r;
        r.pais = static_cast<std::uint8_t>(fileNumber);
        r.nroEquipo = static_cast<std::uint8_t>(k);
        r.nroEquipoGral = generalNumber;
        r.nroCero = 0;
        StoreText(r.nombreEquipo, TeamName());
        r.tactica = static_cast<std::uint8_t>(Uniform(0, static_cast<int>(kTacticCount) - 1));
        // The first third of a file plays in the top division, the rest spread below.
        r.division = static_cast<std::uint8_t>(k < std::max(1, teamsInFile / 3) ? 0 : Uniform(1, 4));
        for (Kit* kit : {&r.uniformePrincipal, &r.uniformeSecundario}) {
            kit->disenioCamiseta = static_cast<std::uint8_t>(Uniform(0, 3));
            kit->colorBaseCamiseta = static_cast<std::uint8_t>(Uniform(0, 9));
            kit->colorOtroCamiseta = static_cast<std::uint8_t>(Uniform(0, 9));
            kit->colorPantalon = static_cast<std::uint8_t>(Uniform(0, 9));
            kit->colorMedias = static_cast<std::uint8_t>(Uniform(0, 9));
        }
        StoreText(r.nombreEntrenador, CoachName());
        std::iota(r.titularesYSuplentes.begin(), r.titularesYSuplentes.end(), std::uint8_t{0});
        std::shuffle(r.titularesYSuplentes.begin(), r.titularesYSuplentes.end(), rng_);
        std::array<std::uint8_t, kPlayersPerTeam> shirts{};
        std::iota(shirts.begin(), shirts.end(), std::uint8_t{1});
        std::shuffle(shirts.begin() + 1, shirts.end(), rng_); // the keeper wears 1
        const int strength = 10 - 2 * r.division + Uniform(-2, 2);
        for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
            DecodedPlayer p;
            p.position = PadBlank(kSquad[i], kPositionWidth);
            p.face = static_cast<std::uint8_t>(Uniform(0, 2));
            p.skills = PlayerSkills(strength);
            p.nationality = *NationalityText(Nationality(fileNumber));
            p.price = *PriceText(PriceCodeFor(p.skills));
            // A rare empty slot, as the game's files have.
            p.name = PadBlank(Chance(0.002) ? "" : PlayerName(), kPlayerNameWidth);
            PlayerSlot& slot = r.jugador[i];
            slot.nroCamiseta = shirts[i];
            EncodePlayerSlot(p, slot);
        }
        return r;
    }

    std::mt19937& rng() { return rng_; }

    // Better players cost more, with some noise: the sum of the skills (0..105) spread over the price codes.
    std::uint8_t PriceCodeFor(const Skills& skills) {
        int sum = 0;
        for (std::uint8_t v : skills)
            sum += v;
        return static_cast<std::uint8_t>(std::clamp((sum - 35) * 49 / 60 + Uniform(-3, 3), 0, 49));
    }

private:
    std::mt19937 rng_;
};

// A file that is already there (a game file the user asked to overwrite) is backed up before it is
// replaced, like any change to a game file.
Status WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                  BackupRun* backups) {
    std::error_code ec;
    if (backups && std::filesystem::exists(path, ec)) {
        if (Status kept = backups->EnsureBackedUp(path); !kept) return kept;
    }
    return ReplaceFileWhole(path,
                            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void Append(std::vector<std::uint8_t>& bytes, const TeamRecord& r) {
    const TeamRecordBytes b = SerializeTeamRecord(r);
    bytes.insert(bytes.end(), b.begin(), b.end());
}

// A cup copy that has gone stale: a few skills and prices differ from the league team.
TeamRecord StaleCopy(Generator& g, TeamRecord r) {
    for (int n = 0; n < 3; ++n) {
        PlayerSlot& s = r.jugador[static_cast<std::size_t>(g.Uniform(0, 15))];
        s.passing = static_cast<std::uint8_t>(g.Uniform(0, 15));
        s.valorPase = static_cast<std::uint8_t>(g.Uniform(0, 49));
    }
    return r;
}

} // namespace

Result<SampleDataSummary> WriteSampleData(const std::string& directory, const SampleDataOptions& options) {
    return WriteSampleData(directory, options, nullptr);
}

Result<SampleDataSummary> WriteSampleData(const std::string& directory, const SampleDataOptions& options,
                                          BackupRun* backups) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(directory, ec);
    if (ec) return Error{"Cannot create " + directory + ": " + ec.message()};

    Generator g(options.seed);
    const std::uint32_t scale = std::max<std::uint32_t>(1, options.scale);

    std::vector<int> files;
    for (const CatalogueTab& tab : CatalogueTabs())
        for (const CatalogueButton& b : tab.buttons)
            if (b.fileNumber) files.push_back(*b.fileNumber);
    files.insert(files.end(), std::begin(kExtraFiles), std::end(kExtraFiles));
    std::sort(files.begin(), files.end());

    SampleDataSummary summary;
    std::vector<std::vector<TeamRecord>> league(256);
    std::uint16_t general = 1;
    // Mostly small leagues, a few big ones: about 27,000 player slots in all at scale 1. Drawn first so that
    // a file's size at scale N is exactly N times its size at scale 1.
    std::vector<int> bases;
    for (std::size_t i = 0; i < files.size(); ++i)
        bases.push_back(g.Chance(0.1) ? g.Uniform(33, 45) : g.Uniform(10, 28));
    for (std::size_t f = 0; f < files.size(); ++f) {
        const int n = files[f];
        const int base = bases[f];
        const int count =
            static_cast<int>(std::min<std::uint32_t>(256, static_cast<std::uint32_t>(base) * scale));
        std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(count & 0xFF),
                                           static_cast<std::uint8_t>(count >> 8)};
        bytes.reserve(2 + kTeamRecordSize * static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k) {
            TeamRecord team = g.Team(n, k, general++, count);
            league[static_cast<std::size_t>(n)].push_back(team);
            Append(bytes, team);
        }
        char name[16];
        std::snprintf(name, sizeof name, "TEAM.%03d", n);
        if (auto st = WriteBytes(fs::path(directory) / name, bytes, backups); !st) return st.error();
        ++summary.teamFiles;
        summary.teams += count;
        summary.playerSlots += 16LL * count;
    }

    // Cup files: copies of league teams, most from the top division, a few not, and in the first cup one
    // that names a team beyond its file's end.
    const char* cups[] = {"EUROCUP.TMD", "UEFACUP.TMD", "EUROCWC.TMD"};
    for (int c = 0; c < 3; ++c) {
        std::vector<std::uint8_t> bytes;
        const int count = g.Uniform(16, 32);
        for (int i = 0; i < count; ++i) {
            const int n = files[static_cast<std::size_t>(g.Uniform(0, static_cast<int>(files.size()) - 2))];
            const auto& teams = league[static_cast<std::size_t>(n)];
            const bool premier = !g.Chance(0.1);
            std::vector<std::size_t> candidates;
            for (std::size_t k = 0; k < teams.size(); ++k)
                if ((teams[k].division == 0) == premier) candidates.push_back(k);
            if (candidates.empty()) candidates.push_back(0);
            TeamRecord cup = StaleCopy(g, teams[candidates[static_cast<std::size_t>(
                                              g.Uniform(0, static_cast<int>(candidates.size()) - 1))]]);
            cup.nroEquipoGral = static_cast<std::uint16_t>(30000 + c * 100 + i);
            if (c == 0 && i == count - 1)
                cup.nroEquipo = static_cast<std::uint8_t>(std::min<std::size_t>(255, teams.size()));
            Append(bytes, cup);
        }
        if (auto st = WriteBytes(fs::path(directory) / cups[c], bytes, backups); !st) return st.error();
    }

    // The market pool: foreign players copied from league slots, some stale; one names slot 17.
    std::vector<std::uint8_t> pool;
    const int entries = g.Uniform(300, 400);
    for (int e = 0; e < entries; ++e) {
        const int n = files[static_cast<std::size_t>(g.Uniform(0, static_cast<int>(files.size()) - 2))];
        const auto& teams = league[static_cast<std::size_t>(n)];
        const std::size_t k = static_cast<std::size_t>(g.Uniform(0, static_cast<int>(teams.size()) - 1));
        const int slotIndex = e == entries / 2 ? 16 : g.Uniform(0, 15);
        const TeamRecord& team = teams[k];
        const PlayerSlot& slot = team.jugador[static_cast<std::size_t>(std::min(slotIndex, 15))];
        std::array<std::uint8_t, kPoolRecordSize> r{};
        r[0] = static_cast<std::uint8_t>(n);
        r[1] = static_cast<std::uint8_t>(k);
        r[2] = static_cast<std::uint8_t>(slotIndex);
        std::copy_n(team.nombreEquipo.begin(), 17, r.begin() + 3);
        r[20] = slot.nacionalidad;
        r[21] = static_cast<std::uint8_t>(g.Uniform(0, 3));
        r[22] = slot.nroCamiseta;
        std::copy(slot.nombreJugador.begin(), slot.nombreJugador.end(), r.begin() + 23);
        r[46] = slot.posicionYAspecto;
        r[47] = slot.reservado0;
        r[48] = g.Chance(0.3) ? static_cast<std::uint8_t>(g.Uniform(0, 15)) : slot.passing;
        r[49] = slot.shootingYHeading;
        r[50] = slot.tacklingYBallControl;
        r[51] = slot.speedYFinishing;
        r[52] = slot.valorPase;
        for (int i = 53; i < 58; ++i)
            r[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(g.Uniform(0, 255));
        pool.insert(pool.end(), r.begin(), r.end());
    }
    if (auto st = WriteBytes(fs::path(directory) / "POOLPLYR.DAT", pool, backups); !st) return st.error();
    summary.poolEntries = entries;
    return summary;
}

} // namespace kivo
