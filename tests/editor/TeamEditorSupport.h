#pragma once

// The team editor opened on a test file as the team browser opens it, and the user's gestures that QtTest
// has no single call for: typing characters beyond ASCII and dropping a player from the clipboard.

#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMimeData>
#include <QPointer>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "core/clipboard/ClipboardStore.h"
#include "core/gamefiles/TeamRecord.h"
#include "editor/ui/TaskWindows.h"
#include "editor/clipboard/PlayerDrag.h"
#include "editor/teams/ActualizarEquipo.h"
#include "TestSupport.h"

namespace kivo::editor::test {

inline void PutText(std::span<std::uint8_t> field, const char* text) {
    std::fill(field.begin(), field.end(), 0);
    std::copy(text, text + std::strlen(text), field.begin());
}

// Team k of the test files. Row 0 is a goalkeeper with skills 15, 9, 0...: original price "100K"; row 1 a
// right back; slot i stands at line-up place (16 - i).
inline TeamRecord Team(int k) {
    TeamRecord r;
    r.pais = 8;
    r.nroEquipo = static_cast<std::uint8_t>(k);
    r.nroEquipoGral = static_cast<std::uint16_t>(500 + k);
    PutText(r.nombreEquipo, k == 1 ? "EDITED TOWN" : "OTHER TEAM");
    r.tactica = 2;
    r.division = 1;
    r.uniformePrincipal = {0, 4, 1, 2, 1};
    r.uniformeSecundario = {3, 5, 9, 1, 5};
    PutText(r.nombreEntrenador, "COACH");
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        r.titularesYSuplentes[15 - i] = static_cast<std::uint8_t>(i);
        PlayerSlot& s = r.jugador[i];
        s.nacionalidad = 8;
        s.reservado = 0x5A;
        s.nroCamiseta = static_cast<std::uint8_t>(i + 1);
        PutText(s.nombreJugador, qPrintable(QStringLiteral("PLAYER %1").arg(i + 1)));
        s.posicionYAspecto = static_cast<std::uint8_t>((i == 0 ? 0 : 1 + i % 7) << 5);
        s.passing = i == 0 ? 15 : 5;
        s.shootingYHeading = i == 0 ? 0x90 : 0x55;
        s.tacklingYBallControl = i == 0 ? 0 : 0x55;
        s.speedYFinishing = i == 0 ? 0 : 0x55;
        s.valorPase = 30;
        s.reservadosCant5 = {9, 8, 7, 6, 5};
    }
    return r;
}

inline QByteArray Bytes(const TeamRecord& r) {
    const TeamRecordBytes b = SerializeTeamRecord(r);
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

// A team file of three teams with team 1 open in an editor, modal on a task window of its own: a top-level
// window, or a subwindow of a frame's MDI area as in the program.
struct Opened {
    explicit Opened(const QString& fileName = QStringLiteral("TEAM.008"), TeamRecord team1 = Team(1),
                    bool inFrame = false) {
        header = fileName.endsWith(QLatin1String(".tmd")) ? 0 : 2;
        path = QDir(dir.path()).filePath(fileName);
        original = QByteArray(header, '\x07') + Bytes(Team(0)) + Bytes(team1) + Bytes(Team(2));
        WriteFile(path, original);
        EditorState& g = Globals();
        g.TeamFilePath = path.toStdString();
        g.ClipboardFilePath = seams.StartFile(QStringLiteral("portapap.tps")).toStdString();
        g.SelectedTeamIndex = 1;
        g.TeamRecordBuffer = team1;
        if (inFrame) {
            area.show();
            g.TaskArea = &area;
            task = new QWidget;
            OpenTaskWindow(task);
        } else {
            ownTask = std::make_unique<QWidget>();
            task = ownTask.get();
            task->show();
        }
        editor = new ActualizarEquipo;
        OpenModalOnTask(task, editor, [this](int r) { response = r; });
        editor->activateWindow();
        if (!QTest::qWaitForWindowActive(editor)) qWarning("the editor did not become active");
    }
    ~Opened() { Globals().TaskArea = nullptr; }
    // The file with team 1 replaced by `r`.
    QByteArray FileWith(const TeamRecord& r) const {
        return original.left(header + 684) + Bytes(r) + original.mid(header + 2 * 684);
    }
    QByteArray File() const { return ReadFile(path); }
    void OnPlayers(QWidget* focus) {
        editor->tabs()->setCurrentIndex(3);
        focus->setFocus();
        QApplication::processEvents();
    }

    Seams seams;
    QTemporaryDir dir;
    QString path;
    int header = 2;
    QByteArray original;
    QMdiArea area;
    std::unique_ptr<QWidget> ownTask;
    QWidget* task = nullptr;
    QPointer<ActualizarEquipo> editor;
    int response = 0;
};

// Types each character as a key press carrying it, as a keyboard with that character does.
inline void Type(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w,
                            c.unicode() <= 0xFF ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown,
                            QString(c), Qt::NoModifier);
}
// A drag carrying `data` entering `target`, moving over its middle and let go there, as the window system
// delivers it; whether the target accepted the drop. A target that refuses the enter gets no drop.
inline bool DropOn(QWidget* target, const QMimeData* data) {
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// Adds `p` to the clipboard file and drops it on row r's name field with the "Jugador" drag.
inline void Drop(Opened& o, int r, const PlayerTransferRecord& p) {
    auto store = ClipboardStore::Open(Globals().ClipboardFilePath);
    QVERIFY(store.ok());
    const auto id = store->Append(p);
    QVERIFY(id.ok());
    std::unique_ptr<QMimeData> data(NewPlayerDragData(*id));
    QVERIFY(DropOn(o.editor->row(r).name, data.get()));
}

} // namespace kivo::editor::test
