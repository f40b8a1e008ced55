#pragma once

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabBar>
#include <QThread>
#include <QtTest>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrders.h"
#include "editor/ui/CheckOpen.h"
#include "editor/players/BrowserBusquedas.h"
#include "editor/players/PlayerListModel.h"
#include "TestSupport.h"

// What both halves of the player browser's tests share: a database of synthetic rows and a browser on it.

namespace kivo::editor::test {

// Runs events until the list has answered every request and stays so for a few rounds.
inline bool Settle(PlayerListModel* model) {
    QElapsedTimer timer;
    timer.start();
    int quiet = 0;
    while (timer.elapsed() < 15000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!model->settled()) {
            quiet = 0;
        } else if (++quiet >= 4) {
            return true;
        }
        QThread::msleep(1);
    }
    return false;
}

inline void SetName(PlayerRow& r, const std::string& latin1) {
    r.nombreJugador.fill(0);
    std::copy_n(latin1.begin(), std::min(latin1.size(), r.nombreJugador.size()), r.nombreJugador.begin());
}

inline void SetTeam(PlayerRow& r, const std::string& latin1) {
    r.nombreEquipo.fill(0);
    std::copy_n(latin1.begin(), std::min(latin1.size(), r.nombreEquipo.size()), r.nombreEquipo.begin());
}

// 7000 rows: more than the list keeps at once. Names in mixed case, some blank, some accented; every key
// repeats; marks 1, 2 and 3 on a few rows.
constexpr int kRows = 7000;

inline void FillDatabase(const std::string& path) {
    auto db = PlayerDatabase::Open(path, true);
    QVERIFY2(db.ok(), db.ok() ? "" : db.error().text.c_str());
    SQLite::Transaction t(db->connection());
    for (int i = 0; i < kRows; ++i) {
        PlayerRow r;
        r.pais = static_cast<std::uint8_t>(1 + i % 80);
        SetTeam(r, i % 50 == 0 ? std::string("\311LAN FC") : "TEAM " + std::to_string(i % 400));
        r.division = static_cast<std::uint8_t>(i % 5);
        r.nacionalidad = static_cast<std::uint8_t>((i * 7) % 153);
        r.nroCamiseta = static_cast<std::uint8_t>(1 + i % 16);
        const char* stems[] = {"alba", "Bruno", "carlos", "DIEGO", "Emil", "\351lan", "zeta", ""};
        SetName(r, i % 97 == 0 ? std::string() : stems[i % 8] + std::string(" ") + std::to_string(i));
        r.puesto = static_cast<std::uint8_t>((i * 3) % 8);
        for (int s = 0; s < 7; ++s)
            r.skills[s] = static_cast<std::uint8_t>((i * (s + 3) + s) % 16);
        r.valorPase = static_cast<std::uint8_t>((i * 11) % 50);
        r.marca = static_cast<std::uint8_t>(i % 37 == 0 ? 1 + (i / 37) % 3 : 0);
        QVERIFY(db->Add(r).ok());
    }
    t.commit();
}

inline std::vector<PlayerListEntry> Expected(PlayerOrder order, std::optional<std::uint8_t> mark) {
    auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
    PlayerListRequest all;
    all.order = order;
    all.mark = mark;
    all.limit = 0;
    return *ListPlayers(*db, all);
}

// The ids the list holds for rows first .. first + n - 1 (0 where a row is not read).
inline std::vector<std::int64_t> ListedIds(PlayerListModel* model, int first, int n) {
    std::vector<std::int64_t> ids;
    for (int row = first; row < first + n && row < model->rowCount(); ++row) {
        const auto e = model->EntryAt(row);
        ids.push_back(e ? e->id : 0);
    }
    return ids;
}

inline std::vector<std::int64_t> IdsOf(const std::vector<PlayerListEntry>& rows, std::size_t first,
                                       std::size_t n) {
    std::vector<std::int64_t> ids;
    for (std::size_t i = first; i < first + n && i < rows.size(); ++i)
        ids.push_back(rows[i].id);
    return ids;
}

inline void ClickTab(QTabBar* tabs, int tab) {
    // Off-screen tabs are scrolled to first, as a user does with the scroll buttons.
    tabs->setCurrentIndex(tab);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
}

inline void TypeInto(QLineEdit* entry, const QString& text) {
    entry->setFocus();
    entry->selectAll();
    QTest::keyClick(entry, Qt::Key_Backspace);
    QTest::keyClicks(entry, text);
}

// A fresh start directory with the database filled, and a browser open on it; one per test.
class BrowserFixture {
protected:
    std::unique_ptr<Seams> seams;
    QPointer<BrowserBusquedas> browser;

    BrowserBusquedas* Open() {
        auto* b = new BrowserBusquedas;
        b->setAttribute(Qt::WA_DeleteOnClose);
        b->resize(1000, 600);
        b->show();
        if (!Settle(b->model())) qWarning("the list did not settle");
        return b;
    }

    void SetUpBrowser() {
        seams = std::make_unique<Seams>();
        Globals().ClipboardFilePath = seams->StartFile("portapap.tps").toStdString();
        FillDatabase(PlayerDatabasePath());
        browser = Open();
    }
    void TearDownBrowser() {
        if (browser) browser->close();
        QCoreApplication::processEvents();
        delete browser;
        seams.reset();
    }
};

} // namespace kivo::editor::test
