#include "editor/players/MarkingProgress.h"

#include <optional>

#include "core/players/PlayerDatabase.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
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
        auto outcome = pass(*database, hooked);
        if (outcome) {
            result.outcome = *outcome;
            // A read error part way keeps the rows already marked, as a Cancel does, and is warned about.
            if (outcome->end == PassEnd::ReadError) result.passFailure = outcome->failure;
        } else
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

QString StorageErrorText(const std::string& coreText) {
    std::string line = coreText.substr(0, coreText.find('\n'));
    // The core ends its first line with "...: <storage words> (<number>)".
    if (!line.empty() && line.back() == ')') {
        const std::size_t colon = line.rfind(": ");
        if (colon != std::string::npos) line = line.substr(colon + 2);
    }
    return QString::fromStdString(line);
}

std::function<void(const ProgressState&)>& JobStepHook() {
    return Globals().JobStepHook;
}

bool HookedProgress::Update(const ProgressState& state) {
    if (const auto& hook = JobStepHook()) hook(state);
    return inner_.Update(state);
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
