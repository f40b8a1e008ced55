#include "editor/rosters/RosterCommands.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <QGuiApplication>

#include "core/players/PlayerDatabase.h"
#include "core/rosters/MarkedSlots.h"
#include "core/rosters/Reprice.h"
#include "core/rosters/RosterExport.h"
#include "core/rosters/RosterFiles.h"
#include "core/rosters/RosterImport.h"
#include "editor/rosters/RosterDialogs.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/MessageBox.h"

namespace kivo::editor {
namespace {

namespace fs = std::filesystem;

void Tell(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
    ShowMessage({title, text, icon, MessageButton::Ok, MessageButton::Ok}, parent);
}

// The wait cursor while a whole-game job reads or writes (a second or so on a large game).
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

template <typename Work> auto Busy(Work work) {
    const BusyCursor busy;
    return work();
}

bool AskToWrite(QWidget* parent, const QString& title, const QString& text) {
    return ShowMessage({title, text, MessageIcon::Question, MessageButton::Ok | MessageButton::Cancel,
                        MessageButton::Cancel},
                       parent) == MessageButton::Ok;
}

std::vector<std::string> Lines(const std::vector<TeamChange>& changes) {
    std::vector<std::string> lines;
    lines.reserve(changes.size());
    for (const TeamChange& c : changes)
        lines.push_back(ChangeLine(c));
    return lines;
}

QString ChooseDataDirectory(QWidget* parent, const QString& title) {
    const QString dir = ChoosePath(parent, PathKind::Directory, title, {}, InitialDataDirectory());
    if (!dir.isEmpty()) Globals().BatchDataDirectory = dir.toStdString();
    return dir;
}

} // namespace

QString UpdateDatabase(const std::vector<PriceUpdate>& rows) {
    const std::string path = PlayerDatabasePath();
    std::error_code ec;
    if (!fs::exists(path, ec)) return {};
    auto db = PlayerDatabase::Open(path, false);
    auto updated = db ? UpdateRepricedRows(*db, rows) : Result<std::int64_t>(db.error());
    if (!updated) return QStringLiteral("\n\n") + QString::fromStdString(updated.error().text);
    return QStringLiteral("\n%1 rows of the players file took their new price.").arg(*updated);
}

void ExportRostersCommand(QWidget* parent) {
    const QString title = QStringLiteral("Export Rosters");
    const QString dir = ChooseDataDirectory(parent, QStringLiteral("Export Rosters: Team Files Directory"));
    if (dir.isEmpty()) return;
    const auto files = RosterFiles(dir.toStdString());
    if (files.empty())
        return Tell(parent, title, QStringLiteral("%1 holds no team files.").arg(dir),
                    MessageIcon::Exclamation);
    const QString out = ChoosePath(parent, PathKind::SaveFile, QStringLiteral("Export Rosters: Save As"),
                                   QStringLiteral("Spreadsheet (*.csv);;JSON (*.json)"),
                                   dir + QStringLiteral("/rosters.csv"));
    if (out.isEmpty()) return;
    const std::string outName = fs::path(out.toStdString()).filename().string();
    if (IsTeamFileName(outName) || outName == kPlayerDatabaseFileName)
        return Tell(parent, title, QStringLiteral("%1 is a game file; choose another name.").arg(out),
                    MessageIcon::Exclamation);
    const bool json = out.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive);
    auto text = Busy([&] { return ExportRosters(files, json ? RosterFormat::Json : RosterFormat::Csv); });
    if (!text) return Tell(parent, title, QString::fromStdString(text.error().text), MessageIcon::Error);
    std::ofstream file(out.toStdString(), std::ios::binary | std::ios::trunc);
    if (!file || !file.write(text->data(), static_cast<std::streamsize>(text->size())) || !file.flush())
        return Tell(parent, title, QStringLiteral("Cannot write %1.").arg(out), MessageIcon::Error);
    Tell(parent, title,
         QStringLiteral("The rosters of %1 files were written to %2.").arg(files.size()).arg(out),
         MessageIcon::Information);
}

void ImportRostersCommand(QWidget* parent) {
    const QString title = QStringLiteral("Import Rosters");
    const QString dir = ChooseDataDirectory(parent, QStringLiteral("Import Rosters: Team Files Directory"));
    if (dir.isEmpty()) return;
    const QString from = ChoosePath(parent, PathKind::OpenFile, QStringLiteral("Import Rosters: Open"),
                                    QStringLiteral("Rosters (*.csv *.json);;All files (*)"), dir);
    if (from.isEmpty()) return;
    std::error_code ec;
    if (fs::file_size(from.toStdString(), ec) > (256u << 20) || ec)
        return Tell(parent, title, QStringLiteral("%1 cannot be read as a roster.").arg(from),
                    MessageIcon::Error);
    std::ifstream in(from.toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const RosterImportPlan plan = Busy([&] { return PlanRosterImport(dir.toStdString(), text.view()); });
    if (!plan.ok()) {
        std::vector<std::string> lines;
        for (const RosterProblem& p : plan.problems)
            lines.push_back(ProblemLine(p));
        return Tell(parent, title,
                    QStringLiteral("The roster has %1 errors; nothing was written.\n\n").arg(lines.size()) +
                        ListedLines(lines),
                    MessageIcon::Exclamation);
    }
    if (plan.teams.empty())
        return Tell(parent, title, QStringLiteral("The roster changes nothing; nothing was written."),
                    MessageIcon::Information);
    const std::vector<TeamChange> changes = ImportChanges(plan);
    const QString question = QStringLiteral("%1 changes in %2 teams of %3 files:\n\n")
                                 .arg(changes.size())
                                 .arg(plan.teams.size())
                                 .arg(plan.files.size()) +
                             ListedLines(Lines(changes)) + QStringLiteral("\nWrite them?");
    if (!AskToWrite(parent, title, question)) return;
    if (Status applied = Busy([&] { return ApplyRosterImport(*Globals().Backups, plan); }); !applied)
        return Tell(parent, title, QString::fromStdString(applied.error().text), MessageIcon::Error);
    Tell(parent, title, QStringLiteral("%1 teams were written.").arg(plan.teams.size()),
         MessageIcon::Information);
}

namespace {

// Prices the slots (all of the files' when `only` is null), lists the changes, asks and writes.
void Reprice(QWidget* parent, const QString& title, const std::vector<std::string>& files,
             const SlotSelection* only) {
    RepriceOptions options;
    options.formulas = Globals().Formulas;
    auto plan = Busy([&] { return PlanReprice(files, options, only); });
    if (!plan) return Tell(parent, title, QString::fromStdString(plan.error().text), MessageIcon::Error);
    if (plan->prices.empty())
        return Tell(parent, title,
                    QStringLiteral("Every price already is what the formulas give; nothing was written."),
                    MessageIcon::Information);
    const QString question =
        QStringLiteral("%1 prices change in %2 files:\n\n").arg(plan->prices.size()).arg(plan->files.size()) +
        ListedLines(Lines(RepriceChanges(*plan))) + QStringLiteral("\nWrite them?");
    if (!AskToWrite(parent, title, question)) return;
    if (Status applied = Busy([&] { return ApplyReprice(*Globals().Backups, *plan); }); !applied)
        return Tell(parent, title, QString::fromStdString(applied.error().text), MessageIcon::Error);
    Tell(parent, title,
         QStringLiteral("%1 prices were written.").arg(plan->prices.size()) +
             UpdateDatabase(RepricedRows(*plan)),
         MessageIcon::Information);
}

} // namespace

void RepriceAllPlayersCommand(QWidget* parent) {
    const QString title = QStringLiteral("Reprice All Players");
    const QString dir =
        ChooseDataDirectory(parent, QStringLiteral("Reprice All Players: Team Files Directory"));
    if (dir.isEmpty()) return;
    const auto files = LeagueTeamFiles(dir.toStdString());
    if (files.empty())
        return Tell(parent, title,
                    QStringLiteral("%1 holds none of the team files TEAM.001 to TEAM.085.").arg(dir),
                    MessageIcon::Exclamation);
    Reprice(parent, title, files, nullptr);
}

void RepriceMarkedCommand(QWidget* parent, int mark) {
    const QString title = QStringLiteral("Reprice Marked");
    if (mark <= 0)
        return Tell(parent, title, QStringLiteral("Select a mark first: mark 0 is no mark."),
                    MessageIcon::Exclamation);
    const QString dir = ChooseDataDirectory(parent, QStringLiteral("Reprice Marked: Team Files Directory"));
    if (dir.isEmpty()) return;
    auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
    if (!db) return Tell(parent, title, QString::fromStdString(db.error().text), MessageIcon::Error);
    auto marked = FindMarkedSlots(*db, dir.toStdString(), mark);
    if (!marked)
        return Tell(parent, title, QString::fromStdString(marked.error().text), MessageIcon::Exclamation);
    if (marked->players == 0)
        return Tell(parent, title, QStringLiteral("No player carries mark %1.").arg(mark),
                    MessageIcon::Information);
    Reprice(parent, title, marked->files, &marked->selection);
}

} // namespace kivo::editor
