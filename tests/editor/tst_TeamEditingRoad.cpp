#include <filesystem>

#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamFile.h"
#include "core/sampledata/SampleData.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "editor/app/Principal.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/EquiposExistentes.h"
#include "editor/teams/VerEquipos.h"
#include "TeamFilesSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

// What the user changes in one player row.
struct PlayerEdit {
    std::size_t row;
    QString name;
    Skills skills;    // typed; a skill above 15 is saved as 15
    QString position; // typed into the drop-down list
    std::uint8_t positionCode;
    QString price;
    std::uint8_t priceCode;
};

const PlayerEdit kEdit{2, "ZOLTAN NEMETH", {14, 3, 12, 7, 15, 9, 40}, "A", 7, "1.1M", 29};

template <class W> W* InFrame(Principal& frame) {
    for (QMdiSubWindow* sub : frame.taskArea()->subWindowList())
        if (auto* w = qobject_cast<W*>(sub->widget())) return w;
    return nullptr;
}

void ClickTab(QTabWidget* tabs, const QString& title) {
    for (int t = 0; t < tabs->count(); ++t)
        if (tabs->tabText(t).remove(QLatin1Char('&')) == title)
            QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(t).center());
}

void TypeInto(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// The record as the editor's OK writes it: the whole team in normal form, with the user's edits in the row
// and its face clicked once (0 to 1 to 2 to 0; a stored 3 to 1).
TeamRecord Expected(const TeamRecord& original, const PlayerEdit& edit) {
    TeamRecord expected = EncodeTeam(DecodeTeam(original));
    PlayerSlot& slot = expected.jugador[edit.row];
    StoreText(slot.nombreJugador, edit.name.toStdString());
    const int nextFace[4] = {1, 2, 0, 1};
    slot.posicionYAspecto =
        std::uint8_t(edit.positionCode << 5 | nextFace[(slot.posicionYAspecto >> 3) & 3] << 3);
    Skills s = edit.skills;
    for (std::uint8_t& skill : s)
        skill = std::min<std::uint8_t>(skill, 15);
    slot.passing = s[0];
    slot.shootingYHeading = std::uint8_t(s[1] << 4 | s[2]);
    slot.tacklingYBallControl = std::uint8_t(s[3] << 4 | s[4]);
    slot.speedYFinishing = std::uint8_t(s[5] << 4 | s[6]);
    slot.valorPase = edit.priceCode;
    return expected;
}

} // namespace

// The road a user takes to edit a team: catalogue, browser, editor, OK; the file compared byte for byte.
class TeamEditingRoadTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetTeamFileChooser(nullptr); }

    void editAPlayerAndSave_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("team");
        QTest::newRow("league file from its country button") << "TEAM.008" << 3;
        QTest::newRow("cup file through Open Any File") << "EUROCUP.TMD" << 2;
    }
    void editAPlayerAndSave() {
        QFETCH(QString, fileName);
        QFETCH(int, team);
        const bool cup = fileName.endsWith(".TMD");
        test::Seams seams;
        QTemporaryDir dir;
        QVERIFY(WriteSampleData(dir.path().toStdString(), {}).ok());
        const QString path = QDir(dir.path()).filePath(fileName);
        const QByteArray before = test::ReadFile(path);
        const std::uint64_t offset = TeamRecordOffset(path.toStdString(), std::uint64_t(team));
        QVERIFY(before.size() >= qsizetype(offset + kTeamRecordSize));
        const TeamRecord original = *ReadTeam(path.toStdString(), std::uint64_t(team));
        WriteIniText(VentanasPath(), kConfigSection, kDirectorioKivo, dir.path().toStdString());
        SetTeamFileChooser([&](QWidget*, const QString&, const QString&, const QString&) { return path; });

        Principal frame;
        frame.Start(false);
        frame.resize(1200, 900);
        frame.toolBar()->actions().at(0)->trigger(); // "Open a Team File for Editing"
        auto* catalogue = InFrame<EquiposExistentes>(frame);
        QVERIFY(catalogue);
        if (cup) {
            ClickTab(catalogue->tabs(), "Any File");
            QTest::mouseClick(catalogue->anyFileButton(), Qt::LeftButton);
            QCOMPARE(seams.Shown(), QStringList{"WARNING: This is a Cup file"});
        } else {
            QVERIFY(catalogue->fileButton(8)->isEnabled());
            QTest::mouseClick(catalogue->fileButton(8), Qt::LeftButton);
        }
        auto* browser = InFrame<VerEquipos>(frame);
        QVERIFY(browser);
        QTreeWidget* list = browser->list();
        list->setFocus();
        for (int i = 0; i < team; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->indexOfTopLevelItem(list->currentItem()), team);
        QTest::keyClick(list, Qt::Key_Return);
        auto* editor = InFrame<ActualizarEquipo>(frame);
        QVERIFY(editor);
        QCOMPARE(Globals().SelectedTeamIndex, team);

        ClickTab(editor->tabs(), "Players");
        const TeamEditorRow& row = editor->row(kEdit.row);
        TypeInto(row.name, kEdit.name);
        for (std::size_t s = 0; s < kSkillCount; ++s)
            TypeInto(row.skills[s], QString::number(kEdit.skills[s]));
        row.position->setFocus();
        QTest::keyClicks(row.position, kEdit.position);
        QCOMPARE(row.position->currentText(), kEdit.position);
        row.price->setFocus();
        QTest::keyClicks(row.price, kEdit.price);
        QCOMPARE(row.price->currentText(), kEdit.price);
        QTest::mouseClick(row.face, Qt::LeftButton);
        QTest::mouseClick(editor->okButton(), Qt::LeftButton);
        QTRY_VERIFY(!InFrame<ActualizarEquipo>(frame));

        // Only the team's record changed, to the normal form with the edits.
        const TeamRecord expected = Expected(original, kEdit);
        QCOMPARE(
            test::ReadFile(path),
            QByteArray(before).replace(qsizetype(offset), qsizetype(kTeamRecordSize), test::Bytes(expected)));
        // The browser's row was rebuilt from the saved record.
        QCOMPARE(list->topLevelItem(team)->text(4), QString::number(TeamPoints(expected)));
        QVERIFY(browser->isEnabled());
        // The file as it was before the change is kept in kivo-backups/.
        QCOMPARE(test::ReadFile(QDir(test::OnlyBackupRun(dir.path())).filePath(fileName)), before);
        QVERIFY(seams.stops.empty());
    }
};

QTEST_MAIN(TeamEditingRoadTest)
#include "tst_TeamEditingRoad.moc"
