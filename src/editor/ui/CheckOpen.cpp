#include "editor/ui/CheckOpen.h"

#include <cerrno>
#include <filesystem>

#include <QFutureWatcher>
#include <QString>
#include <QtConcurrent/QtConcurrentRun>

#include "core/gamefiles/TeamFile.h"
#include "core/support/FixedText.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/StopProgram.h"

namespace kivo::editor {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(TrimRight(text));
}

void Fail(const QString& title, const QString& text, const QString& stopText) {
    ShowInformation(title, text);
    StopProgram(stopText);
}

// The team file's open failure, from the core's error text "Cannot open PATH: description (number)".
OpenAttempt TeamFileFailure(const std::string& text) {
    const std::size_t colon = text.rfind(": ");
    std::string reason = colon == std::string::npos ? text : text.substr(colon + 2);
    int number = 0;
    const std::size_t open = reason.rfind('(');
    if (open != std::string::npos && !reason.empty() && reason.back() == ')') {
        try {
            number = std::stoi(reason.substr(open + 1));
        } catch (const std::exception&) {
            number = 0;
        }
    }
    if (number == ENOENT) return {OpenFailure::NotFound, reason};
    if (number == 0) return {OpenFailure::InvalidFile, reason + " (0)"};
    return {OpenFailure::Other, reason};
}

// Runs the players file's slow check on a worker; a damaged file is then reported, and repaired if the user
// agrees, as CheckOpen does for damage the open finds.
void CheckPlayerFileInBackground(const std::string& path, const OpenSteps& steps) {
    auto* watcher = new QFutureWatcher<OpenAttempt>;
    QObject::connect(watcher, &QFutureWatcher<OpenAttempt>::finished, watcher, [watcher, path, steps] {
        watcher->deleteLater();
        const OpenAttempt found = watcher->result();
        // Damage is told to the file's users; once they have all gone, the next first user checks again. A
        // check that could not be made (the file busy, replaced meanwhile) finds nothing.
        if (found.failure != OpenFailure::KeysInvalid || Globals().Stopping) return;
        if (Globals().PlayerFileUseCount == 0) return;
        OpenSteps again = steps;
        again.open = [found, open = steps.open, asked = false](const std::string& p, bool create) mutable {
            if (asked) return open(p, create);
            asked = true;
            return found;
        };
        again.check = nullptr;
        CheckOpen(path, false, again);
    });
    watcher->setFuture(QtConcurrent::run([check = steps.check, path] { return check(path); }));
}

} // namespace

namespace {

// What the user can do about each failure that ends the program, shown under the message.
const QString kAdviseCreate =
    QStringLiteral("\n\nCheck that the folder of this file exists and that you may write in it, then start "
                   "the editor again.");
const QString kAdviseDamaged = QStringLiteral(
    "\n\nThis file is damaged or is not a file of its kind: move it out of the way or put back "
    "a good copy of it, then start the editor again.");
const QString kAdviseAccess =
    QStringLiteral("\n\nClose any other program that uses this file and check that you may read and write "
                   "it, then start the editor again.");

enum class SetAside { Declined, Done, Failed };

// Offers to move a damaged file out of the way and start afresh; `moveFailure` gets why a move failed.
SetAside OfferSetAside(const std::string& path, const QString& name, const QString& reason,
                       const OpenSteps& steps, QString& moveFailure) {
    if (!steps.setAside) return SetAside::Declined;
    const QString keptAs = name + QStringLiteral(".damaged");
    const MessageButton answer =
        AskYesNo(QStringLiteral("Damaged File"),
                 name + QStringLiteral(" is damaged (") + reason + QStringLiteral(").\n\nSet it aside as ") +
                     keptAs + QStringLiteral(" and start with ") + QString::fromStdString(steps.freshFile) +
                     QStringLiteral(" ?\nNo ends the program and leaves the file as it is."),
                 MessageButton::Yes);
    if (answer != MessageButton::Yes) return SetAside::Declined;
    const Result<std::string> moved = steps.setAside(path);
    if (moved) return SetAside::Done;
    moveFailure = QStringLiteral("\n\n") + QString::fromStdString(moved.error().text) + QStringLiteral(".");
    return SetAside::Failed;
}

} // namespace

bool CheckOpen(const std::string& path, bool createIfMissing, const OpenSteps& steps) {
    const QString name = Q(path);
    OpenAttempt attempt = steps.open(path, createIfMissing);
    // Locked by another process: the storage layer has already waited; one more try, as a recovery.
    if (attempt.failure == OpenFailure::Locked) attempt = steps.open(path, createIfMissing);

    const QString reason = Q(attempt.reason);
    const QString endApp = QStringLiteral(".  Press OK to end this application.");
    switch (attempt.failure) {
    case OpenFailure::None:
        return true;
    case OpenFailure::NotFound:
    case OpenFailure::CreateFailed:
        Fail(QStringLiteral("File Creation Error"),
             QStringLiteral("Error: (") + reason + QStringLiteral(") creating ") + name + endApp +
                 kAdviseCreate,
             QStringLiteral("File Creation Error!"));
        return false;
    case OpenFailure::OpenCreatedFailed:
        Fail(QStringLiteral("File Creation Error"),
             QStringLiteral("Error: (") + reason + QStringLiteral(") opening created ") +
                 QStringLiteral("file:") + name + endApp + kAdviseCreate,
             QStringLiteral("File Creation Error!"));
        return false;
    case OpenFailure::InvalidFile: {
        QString moveFailure;
        const SetAside setAside = OfferSetAside(path, name, reason, steps, moveFailure);
        if (setAside == SetAside::Done) {
            attempt = steps.open(path, createIfMissing);
            if (attempt.ok()) return true;
            break;
        }
        Fail(QStringLiteral("Invalid File"),
             QStringLiteral("Error: (") + reason + QStringLiteral(") accessing ") + name + endApp +
                 moveFailure + kAdviseDamaged,
             QStringLiteral("Invalid File!"));
        return false;
    }
    case OpenFailure::KeysInvalid: {
        const MessageButton answer = AskYesNo(QStringLiteral("Invalid Key"),
                                              name + QStringLiteral(" key file is invalid.  Do you ") +
                                                  QStringLiteral("want to rebuild the key?"),
                                              MessageButton::Yes);
        if (answer != MessageButton::Yes) {
            StopProgram(QStringLiteral("Invalid Key!"));
            return false;
        }
        const OpenAttempt rebuilt =
            steps.rebuild ? steps.rebuild(path) : OpenAttempt{OpenFailure::Other, "no keys to rebuild (0)"};
        if (!rebuilt.ok()) {
            QString moveFailure;
            const SetAside setAside = OfferSetAside(path, name, Q(rebuilt.reason), steps, moveFailure);
            if (setAside == SetAside::Done) {
                attempt = steps.open(path, createIfMissing);
                if (attempt.ok()) return true;
                break;
            }
            Fail(QStringLiteral("Key Rebuild Error"),
                 QStringLiteral("Error: (") + Q(rebuilt.reason) + QStringLiteral(") repairing key for ") +
                     name + endApp + moveFailure + kAdviseDamaged,
                 QStringLiteral("Error Rebuilding Key!"));
            return false;
        }
        attempt = steps.open(path, createIfMissing);
        if (attempt.ok()) return true;
        break;
    }
    case OpenFailure::Locked:
    case OpenFailure::Other:
        break;
    }
    Fail(QStringLiteral("File Access Error"),
         QStringLiteral("File (") + name + QStringLiteral(") could not be ") +
             QStringLiteral("opened.  Error: ") + Q(attempt.reason) + QStringLiteral(".") + kAdviseAccess,
         QStringLiteral("Disk Error"));
    return false;
}

OpenSteps TeamFileSteps() {
    OpenSteps steps;
    steps.open = [](const std::string& path, bool) -> OpenAttempt {
        Result<TeamFile> file = TeamFile::Open(path, TeamFile::Mode::ReadWrite);
        if (file.ok()) return {};
        return TeamFileFailure(file.error().text);
    };
    return steps;
}

std::string PlayerDatabasePath() {
    const std::string& dir = Globals().StartDirectory;
    return dir.empty() ? std::string("JUGADORES") : (std::filesystem::path(dir) / "JUGADORES").string();
}

bool UseTeamFile(const OpenSteps& steps) {
    // The first user opens the file; later users share it as it is.
    if (Globals().TeamFileUseCount == 0 && !CheckOpen(Globals().TeamFilePath, false, steps)) return false;
    ++Globals().TeamFileUseCount;
    return true;
}

void ReleaseTeamFile() {
    if (Globals().TeamFileUseCount > 0) --Globals().TeamFileUseCount;
}

bool UsePlayerDatabase(const OpenSteps& steps) {
    // The first user opens the file; later users share it as it is.
    const bool first = Globals().PlayerFileUseCount == 0;
    if (first && !CheckOpen(PlayerDatabasePath(), true, steps)) return false;
    ++Globals().PlayerFileUseCount;
    if (first && steps.check) CheckPlayerFileInBackground(PlayerDatabasePath(), steps);
    return true;
}

void ReleasePlayerDatabase() {
    if (Globals().PlayerFileUseCount > 0) --Globals().PlayerFileUseCount;
}

bool UseClipboardFile(const OpenSteps& steps) {
    // The first user opens the file; later users share it as it is.
    if (Globals().ClipboardFileUseCount == 0 && !CheckOpen(Globals().ClipboardFilePath, true, steps))
        return false;
    ++Globals().ClipboardFileUseCount;
    return true;
}

void ReleaseClipboardFile() {
    if (Globals().ClipboardFileUseCount > 0) --Globals().ClipboardFileUseCount;
}

} // namespace kivo::editor
