#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QSpinBox>
#include <QtTest>
#include <QWidget>

#include "core/gamefiles/AttributeTables.h"
#include "core/players/CrearArchivoJugadores.h"
#include "core/players/MarkingPasses.h"
#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrders.h"
#include "core/sampledata/SampleData.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/TaskWindows.h"
#include "editor/players/FormularioBusqueda.h"
#include "editor/players/MarkingProgress.h"
#include "editor/ui/ProgressWindow.h"
#include "TestSupport.h"

namespace kivo::editor::test {

// A start directory with sample game files in data/ and, when asked, JUGADORES built from them; a plain
// window stands in for the browser the jobs are modal on; the states the jobs send to their windows are kept.
class PlayerWorld {
public:
    explicit PlayerWorld(bool build = true, std::uint32_t seed = 7) {
        summary = *WriteSampleData(dataDir(), {.seed = seed});
        if (build) {
            NoProgress quiet;
            built = CrearArchivoJugadores(PlayerDatabasePath(), dataDir(), quiet).ok();
        }
        task.setWindowTitle(QStringLiteral("Browse Players"));
        task.resize(300, 200);
        task.show();
        JobStepHook() = [this](const ProgressState& s) {
            std::lock_guard lock(mutex);
            states.push_back(s);
        };
    }
    ~PlayerWorld() { JobStepHook() = nullptr; }

    std::string dataDir() const { return seams.StartFile(QStringLiteral("data")).toStdString(); }
    std::string teamFile(int n) const {
        return (std::filesystem::path(dataDir()) /
                ("TEAM." + std::string(n < 10 ? "00" : "0") + std::to_string(n)))
            .string();
    }

    PlayerDatabase Open() const { return std::move(*PlayerDatabase::Open(PlayerDatabasePath(), true)); }

    // Every row in the database's natural order.
    std::vector<PlayerListEntry> Rows() const {
        PlayerDatabase db = Open();
        auto rows = ListPlayers(db, {.order = PlayerOrder::Country, .limit = 0});
        return rows ? *rows : std::vector<PlayerListEntry>{};
    }
    std::map<std::int64_t, int> Marks() const {
        std::map<std::int64_t, int> marks;
        for (const auto& e : Rows())
            marks[e.id] = e.row.marca;
        return marks;
    }
    std::set<std::int64_t> Marked(int mark) const {
        std::set<std::int64_t> ids;
        for (const auto& [id, m] : Marks())
            if (m == mark) ids.insert(id);
        return ids;
    }
    void SetAllMarks(int mark) const {
        PlayerDatabase db = Open();
        db.connection().exec("UPDATE jugadores SET marca = " + std::to_string(mark));
    }

    // The search predicate written out, to check the passes against.
    std::set<std::int64_t> Matching(const SearchCriteria& c) const {
        const int limit = c.valorPaseMax.value_or(c.nacionalidad || c.puesto ? 255 : 50);
        std::set<std::int64_t> ids;
        for (const auto& e : Rows()) {
            const PlayerRow& r = e.row;
            bool ok = (c.pais == 0 || r.pais == c.pais) && (!c.division || r.division == *c.division) &&
                      (!c.nacionalidad || r.nacionalidad == *c.nacionalidad) &&
                      (!c.puesto || r.puesto == *c.puesto) && r.valorPase <= limit;
            for (std::size_t s = 0; s < kSkillCount; ++s)
                ok = ok && r.skills[s] >= c.minimums[s];
            if (ok) ids.insert(e.id);
        }
        return ids;
    }

    std::vector<ProgressState> States() {
        std::lock_guard lock(mutex);
        return states;
    }
    void ClearStates() {
        std::lock_guard lock(mutex);
        states.clear();
    }

    // The progress window of a job running on the task, if one is open.
    ProgressWindow* Progress() const { return task.findChild<ProgressWindow*>(); }

    Seams seams;
    SampleDataSummary summary;
    bool built = false;
    QWidget task;
    std::mutex mutex;
    std::vector<ProgressState> states;
};

inline constexpr int kJobWait = 60000;

// What the user does in the search form, control by control: typed into the entries, typed into the
// drop lists (which choose the first entry starting with the text).
struct FormInput {
    QString country, division, nationality, position, price;
    std::array<QString, kSkillCount> skills;
};

inline FormularioBusqueda* OpenForm(PlayerWorld& w, int mark) {
    auto* form = new FormularioBusqueda(mark);
    OpenModalOnTask(&w.task, form, nullptr);
    return form;
}

inline void Type(QWidget* control, const QString& text) {
    if (text.isEmpty()) return;
    control->setFocus();
    if (auto* spin = qobject_cast<QSpinBox*>(control)) spin->selectAll();
    // A drop list takes keys typed close together as one text, as it does for a user.
    if (qobject_cast<QComboBox*>(control)) QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(control, text);
}

inline void Fill(FormularioBusqueda* form, const FormInput& in) {
    Type(form->countryEntry(), in.country);
    Type(form->divisionList(), in.division);
    Type(form->nationalityList(), in.nationality);
    Type(form->positionList(), in.position);
    Type(form->priceList(), in.price);
    for (std::size_t s = 0; s < kSkillCount; ++s)
        Type(form->skillEntry(s), in.skills[s]);
}

// Presses Search and waits for the pass to end; the form must still be open then.
inline bool Search(PlayerWorld& w, FormularioBusqueda* form) {
    QTest::mouseClick(form->searchButton(), Qt::LeftButton);
    if (!w.Progress()) return false;
    return QTest::qWaitFor([&] { return !w.Progress() && form->isEnabled(); }, kJobWait);
}

inline std::uint8_t Nat(const char* text) {
    return *NationalityCode(text);
}

} // namespace kivo::editor::test

Q_DECLARE_METATYPE(kivo::editor::test::FormInput)
Q_DECLARE_METATYPE(kivo::SearchCriteria)
