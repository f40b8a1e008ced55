#include "editor/players/BrowserBusquedas.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>

#include "core/clipboard/ClipboardStore.h"
#include "core/players/PlayerCsvExport.h"
#include "core/gamefiles/Catalogue.h"
#include "core/players/PlayerDatabase.h"
#include "core/players/TeamRowsRefresh.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"
#include "editor/teams/AbrirEquipoEnFila.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/players/PlayerListModel.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/ProgressWindow.h"

// The browser's list keys, the name locator, and the commands that copy and export players.

namespace kivo::editor {

namespace {

std::string Latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

// What Export writes and whether it ran: the written count or the error.
struct ExportOutcome {
    std::int64_t written = 0;
    std::string error;
};

} // namespace

std::function<QString()>& BrowserBusquedas::ExportPathChooser() {
    return Globals().ExportPathDialog;
}

void BrowserBusquedas::GoToRow(int row, bool toTop) {
    if (row < 0 || row >= model_->rowCount()) return;
    const int column = std::max(0, list_->currentIndex().column());
    const QModelIndex index = model_->index(row, column);
    list_->setCurrentIndex(index);
    list_->scrollTo(index, toTop ? QAbstractItemView::PositionAtTop : QAbstractItemView::EnsureVisible);
}

void BrowserBusquedas::Locate() {
    const QString text = locator_->text();
    if (text.trimmed().isEmpty()) return;
    nextPlaceToTop_ = true;
    model_->LocateName(Latin1(text));
    list_->setFocus();
}

bool BrowserBusquedas::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == filter_ && key->key() == Qt::Key_Escape && !filter_->text().isEmpty()) {
        filter_->clear();
        return true;
    }
    if (watched != list_) return QWidget::eventFilter(watched, event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        EditTeam();
        return true;
    }
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const QString typed = key->text();
    const bool nameTab = tabs_->currentIndex() == kNameTab;
    if (nameTab && key->key() == Qt::Key_Backspace) {
        QString text = locator_->text();
        text.chop(1);
        locator_->setText(text);
        if (!text.trimmed().isEmpty()) {
            nextPlaceToTop_ = true;
            model_->LocateName(Latin1(text));
        }
        return true;
    }
    if (!plain || typed.size() != 1 || !typed.at(0).isPrint() || typed.at(0).unicode() > 0xFF)
        return QWidget::eventFilter(watched, event);
    if (nameTab) {
        if (locator_->text().size() >= locator_->maxLength()) return true;
        locator_->setText(locator_->text() + typed);
        Locate();
        return true;
    }
    nextPlaceToTop_ = false;
    model_->StepToLetter(list_->currentIndex().isValid() ? list_->currentIndex().row() : -1,
                         static_cast<char>(typed.at(0).unicode()));
    return true;
}

void BrowserBusquedas::EditTeam() {
    const auto entry = Highlighted();
    if (!entry) return;
    const PlayerRow& row = entry->row;
    if (row.equipo < 0 || row.slot < 1) {
        ShowInformation(QStringLiteral("ERROR"), olderNote_->text(), this);
        return;
    }
    // The rows name the file by its country code, in the configured game directory.
    const std::string path =
        FindExistingFile(CatalogueTeamFilePath(ReadDataDirectory(VentanasPath()), row.pais)).string();
    const TeamAtRow where{path, row.equipo, row.slot, FieldValue(row.nombreJugador)};
    const QPointer<BrowserBusquedas> self(this);
    const int pais = row.pais;
    const std::int64_t team = row.equipo;
    OpenTeamAtRow(this, where, [self, pais, team](const TeamRecord& saved) {
        auto database = PlayerDatabase::Open(PlayerDatabasePath(), true);
        Status refreshed = database ? Status{} : Status{database.error()};
        if (database)
            if (auto done = RefreshTeamRows(*database, pais, team, saved); !done) refreshed = done.error();
        if (!refreshed)
            ShowInformation(QStringLiteral("ERROR"),
                            QString::fromStdString(refreshed.error().text) +
                                QStringLiteral("\nThe team was saved; update the players' file from it "
                                               "(\"Update One Team File\")."),
                            self);
        if (self) self->ReloadList();
    });
}

void BrowserBusquedas::CopyPlayer() {
    const auto entry = Highlighted();
    if (!entry) return;
    // The player as the database holds it now; a row deleted meanwhile copies nothing.
    auto database = PlayerDatabase::Open(PlayerDatabasePath(), true);
    if (!database) return;
    auto stored = database->Get(entry->id);
    if (!stored || !*stored) return;
    EditorState& g = Globals();
    g.TransferRecord = TransferFromDatabaseRow((*stored)->row);
    if (!UseClipboardFile()) return;
    if (auto store = ClipboardStore::Open(g.ClipboardFilePath, true)) store->Append(g.TransferRecord);
    ReleaseClipboardFile();
    PostClipboardRefresh();
}

void BrowserBusquedas::ExportPlayers() {
    // With the quick filter in use, the list as it shows; otherwise the players of the selected mark.
    const bool byFilter = model_->filtered();
    const PlayerOrder order = byFilter ? model_->order() : PlayerOrder::Mark;
    const std::optional<std::uint8_t> mark =
        byFilter ? model_->mark()
                 : std::optional<std::uint8_t>(static_cast<std::uint8_t>(marcaSeleccionada_));
    const PlayerQuickFilter filter = byFilter ? model_->filter() : PlayerQuickFilter();
    if (!byFilter && marcaSeleccionada_ == 0) {
        ShowInformation(
            QStringLiteral("Export"),
            QStringLiteral("Unmarked players are not exported: choose a Selected Mark from 1 to 255, "
                           "or type a Quick Filter."),
            window());
        return;
    }
    QString path = ExportPathChooser() ? ExportPathChooser()()
                                       : QFileDialog::getSaveFileName(this, QStringLiteral("Export Players"),
                                                                      QStringLiteral("players.csv"),
                                                                      QStringLiteral("CSV Files (*.csv)"));
    if (path.isEmpty()) return;
    const std::string database = PlayerDatabasePath();
    const std::string target = path.toStdString();
    std::function<ExportOutcome(Progress&)> job = [database, order, mark, filter, target](Progress&) {
        ExportOutcome outcome;
        auto db = PlayerDatabase::Open(database, true);
        if (!db) {
            outcome.error = db.error().text;
            return outcome;
        }
        auto written = ExportPlayersCsv(*db, order, mark, filter, target);
        if (written)
            outcome.written = *written;
        else
            outcome.error = written.error().text;
        return outcome;
    };
    const QPointer<BrowserBusquedas> self(this);
    std::function<void(ExportOutcome)> done = [self, path](ExportOutcome outcome) {
        QWidget* parent = self ? self->window() : nullptr;
        if (!outcome.error.empty())
            ShowInformation(QStringLiteral("Export"),
                            QStringLiteral("The players could not be exported.\n\n") +
                                QString::fromStdString(outcome.error),
                            parent);
        else
            ShowInformation(QStringLiteral("Export"),
                            QStringLiteral("%1 players written to %2.").arg(outcome.written).arg(path),
                            parent);
    };
    RunWithProgress<ExportOutcome>(this, QStringLiteral("Exporting Players"), false, job, done);
}

} // namespace kivo::editor
