#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QWidget>

#include "core/players/PlayerOrders.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QTableView;

namespace kivo::editor {

class PlayerListModel;

// The player browser ("Browse Players"), a task window inside the frame.
void StartBrowserBusquedas();

// The browser itself: the players of JUGADORES in one of twelve orders, the selected mark and the
// commands that act on it.
class BrowserBusquedas : public QWidget {
    Q_OBJECT
public:
    explicit BrowserBusquedas(QWidget* parent = nullptr);
    ~BrowserBusquedas() override;

    // The tabs in their order, and the database order each shows.
    static PlayerOrder OrderOfTab(int tab);
    static QStringList TabTitles();
    // The tab whose order sorts by a column of the list, or -1 for a column without an order.
    static int TabOfColumn(int column);
    static constexpr int kNameTab = 0;
    static constexpr int kMarkTab = 10;

    int MarcaSeleccionada() const { return marcaSeleccionada_; }
    bool holdsDatabase() const { return holdsDatabase_; }
    PlayerListModel* model() const { return model_; }
    QTableView* list() const { return list_; }
    QTabBar* tabs() const { return tabs_; }
    QLineEdit* markEntry() const { return markEntry_; }
    QLineEdit* locatorEntry() const { return locator_; }
    QLineEdit* filterEntry() const { return filter_; }
    // "N of M players" while the quick filter holds text.
    QLabel* filterCount() const { return filterCount_; }
    QPushButton* button(const QString& text) const;
    // Shown when the database was built before it kept each player's team and slot.
    QLabel* olderDatabaseNote() const { return olderNote_; }
    // The highlighted player, when its row has been read.
    std::optional<PlayerListEntry> Highlighted() const;

    // Test seam: the file chosen in Export's "Save As" dialog; empty means the user chooses.
    static std::function<QString()>& ExportPathChooser();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TabChanged(int tab);
    void ShowSortColumn();
    void MarkEdited(const QString& text);
    void ShowOrder(std::optional<PlayerListEntry> keep);
    void ReloadList();
    void GoToRow(int row, bool toTop);
    void Locate();
    void CopyPlayer();
    // Enter, a double-click or "Edit Team": the highlighted player's team in the team editor, at his row.
    void EditTeam();
    void ExportPlayers();
    void CloseWindow();

    PlayerListModel* model_;
    QTableView* list_;
    QTabBar* tabs_;
    QLineEdit* filter_;
    QLabel* filterCount_;
    QLineEdit* markEntry_;
    QLineEdit* locator_;
    QLabel* locatorPrompt_;
    QPushButton* copy_;
    QPushButton* print_;
    QLabel* olderNote_;
    int marcaSeleccionada_ = 0;
    bool holdsDatabase_ = false;
    bool placed_ = false;
    bool closing_ = false;
    // The locator's row is put at the top of the list; other found rows only brought into view.
    bool nextPlaceToTop_ = false;
};

} // namespace kivo::editor
