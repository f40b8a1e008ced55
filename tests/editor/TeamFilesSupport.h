#pragma once

// Team files made up for the team windows' tests, and the steps those tests share.

#include <string>
#include <vector>

#include <QApplication>
#include <QByteArray>
#include <QTreeWidget>

#include "core/gamefiles/TeamRecord.h"
#include "core/support/FixedText.h"
#include "editor/ui/EditorState.h"
#include "editor/teams/VerEquipos.h"
#include "TestSupport.h"

namespace kivo::editor::test {

inline TeamRecord Team(std::uint8_t country, std::uint8_t number, const std::string& name) {
    TeamRecord r;
    r.pais = country;
    r.nroEquipo = number;
    r.nroEquipoGral = std::uint16_t(1000 + number);
    r.division = number % 5;
    StoreText(r.nombreEquipo, name);
    StoreText(r.nombreEntrenador, "COACH OF " + name);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        r.jugador[i].passing = std::uint8_t(number + i);
        r.jugador[i].shootingYHeading = 0x21;
        StoreText(r.jugador[i].nombreJugador, name + " " + std::to_string(i));
        r.titularesYSuplentes[i] = std::uint8_t(i);
    }
    return r;
}

inline QByteArray Bytes(const TeamRecord& r) {
    const TeamRecordBytes b = SerializeTeamRecord(r);
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

// A league file (2-byte header) or a cup file (none) of the given teams.
inline QByteArray TeamFileBytes(const std::vector<TeamRecord>& teams, bool cup) {
    QByteArray bytes = cup ? QByteArray() : QByteArray("\x03\x00", 2);
    for (const TeamRecord& t : teams)
        bytes += Bytes(t);
    return bytes;
}

inline std::vector<TeamRecord> Teams(std::uint8_t country, const std::string& prefix, int count) {
    std::vector<TeamRecord> teams;
    for (int i = 0; i < count; ++i)
        teams.push_back(Team(country, std::uint8_t(i), prefix + std::to_string(i)));
    return teams;
}

inline void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

template <class W> W* TopLevel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<W*>(w); found && !found->isHidden()) return found;
    return nullptr;
}

inline void CloseAll() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) w->close();
    Settle();
}

inline VerEquipos* OpenBrowser(QWidget* task, const QString& path) {
    Globals().TeamFilePath = path.toStdString();
    return StartVerEquipos(task);
}

inline QStringList RowTexts(QTreeWidget* list, int row) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c)
        texts << list->topLevelItem(row)->text(c);
    return texts;
}

inline void Select(VerEquipos* browser, int row) {
    browser->list()->setCurrentItem(browser->list()->topLevelItem(row));
}

// The test's message boxes and a shown task window, with team files written into a directory of their own.
struct TeamFileScene {
    TeamFileScene() { task.show(); }
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = QDir(dir.path()).filePath(name);
        if (!WriteFile(path, bytes)) qWarning("could not write %s", qPrintable(path));
        return path;
    }

    Seams seams;
    QTemporaryDir dir;
    QWidget task;
};

// The run folder kivo-backups/ holds under `dir`, or "" if there is not exactly one.
inline QString OnlyBackupRun(const QString& dir) {
    QDir backups(QDir(dir).filePath("kivo-backups"));
    const QStringList runs = backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return runs.size() == 1 ? backups.filePath(runs[0]) : QString();
}

// What the browser says of a file it cannot open, as "title: text".
inline const QString kNotAvailable =
    "ERROR: The TEAM file you have chosen is not available !.\n\nIt may happen because you have not pressed "
    "Refresh button after setting the TEAM files directory. So press Refresh button and try again.";

} // namespace kivo::editor::test
