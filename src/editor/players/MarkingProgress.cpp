#include "editor/players/MarkingProgress.h"

#include <optional>

#include "core/players/PlayerDatabase.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/StockMessages.h"

namespace kivo::editor {

namespace {

// The pass's own file label in the record-retrieval warning.
const QString kPlayersFileLabel = QStringLiteral("Jugadores");

// What a worker's pass came to: the core's outcome, or where it failed.
struct PassResult {
    std::optional<MarkPassOutcome> outcome;
    std::string openFailure; // the worker's own connection could not be opened: the scan never started
    std::string passFailure; // the pass failed while reading or marking rows
};

// Tells whether a pass got as far as its first step: one that fails before it could not open its scan.
class StartWatch final : public Progress {
public:
    explicit StartWatch(Progress& inner) : inner_(inner) {}
    bool Update(const ProgressState& state) override {
        started = true;
        return inner_.Update(state);
    }
    bool started = false;

private:
    Progress& inner_;
};

using PassJob = std::function<Result<MarkPassOutcome>(PlayerDatabase&, Progress&)>;

void RunPass(QWidget* task, PassJob pass, std::function<void()> done) {
    // The pass holds the database like any other user of it; the worker reads through its own connection.
    if (!task || !UsePlayerDatabase()) {
        if (done) done();
        return;
    }
    const std::string path = PlayerDatabasePath();
    std::function<PassResult(Progress&)> job = [path, pass](Progress& progress) {
        PassResult result;
        auto database = PlayerDatabase::Open(path, true);
        if (!database) {
            result.openFailure = database.error().text;
            return result;
        }
        HookedProgress hooked(progress);
        StartWatch watched(hooked);
        auto outcome = pass(*database, watched);
        if (outcome) {
            result.outcome = *outcome;
            // A read error part way keeps the rows already marked, as a Cancel does, and is warned about.
            if (outcome->end == PassEnd::ReadError) result.passFailure = outcome->failure;
        } else if (!watched.started)
            result.openFailure = outcome.error().text; // the scan never began: the view could not be opened
        else
            result.passFailure = outcome.error().text;
        return result;
    };
    std::function<void(PassResult)> finish = [task = QPointer<QWidget>(task), done](PassResult result) {
        ReleasePlayerDatabase();
        QWidget* parent = task ? task->window() : nullptr;
        if (!result.openFailure.empty())
            RaiseStockMessage(StockMessage::ViewOpen, StorageErrorText(result.openFailure), {}, {}, parent);
        else if (!result.passFailure.empty())
            RaiseStockMessage(StockMessage::RecordRetrieval, StorageErrorText(result.passFailure),
                              kPlayersFileLabel, {}, parent);
        if (done) done();
    };
    RunWithProgress<PassResult>(task, QStringLiteral("Processing Records"), true, job, finish);
}

} // namespace

std::function<void(const ProgressState&)>& JobStepHook() {
    return Globals().JobStepHook;
}

bool HookedProgress::Update(const ProgressState& state) {
    if (const auto& hook = JobStepHook()) hook(state);
    return inner_.Update(state);
}

bool ConfirmClearingEveryMark(QWidget* parent) {
    std::optional<std::int64_t> marked;
    if (auto database = PlayerDatabase::Open(PlayerDatabasePath(), false))
        if (auto counted = database->CountMarked(0)) marked = *counted;
    if (marked && *marked == 0) return true;
    const QString who = marked
                            ? (*marked == 1 ? QStringLiteral("the 1 player who carries a mark")
                                            : QStringLiteral("ALL %1 players who carry a mark").arg(*marked))
                            : QStringLiteral("EVERY marked player");
    return AskYesNo(QStringLiteral("ATTENTION"),
                    QStringLiteral("This clears the marks of ") + who +
                        QStringLiteral(", whatever their mark (Selected Mark 0 means every mark).\n"
                                       "Do you want to continue ?"),
                    MessageButton::No, parent) == MessageButton::Yes;
}

// A mark is one byte: a wider number would act on the wrong group, so it acts on none.
void RunClearMarks(QWidget* task, int mark, std::function<void()> done) {
    if (mark < 0 || mark > 255) {
        if (done) done();
        return;
    }
    const auto m = static_cast<std::uint8_t>(mark);
    RunPass(
        task, [m](PlayerDatabase& db, Progress& progress) { return BorrarMarcas(db, m, progress); },
        std::move(done));
}

void RunSearchPass(QWidget* task, const SearchCriteria& criteria, int mark, std::function<void()> done) {
    if (mark < 0 || mark > 255) {
        if (done) done();
        return;
    }
    const auto m = static_cast<std::uint8_t>(mark);
    RunPass(
        task,
        [criteria, m](PlayerDatabase& db, Progress& progress) {
            return BuscarYMarcar(db, criteria, m, progress);
        },
        std::move(done));
}

} // namespace kivo::editor
