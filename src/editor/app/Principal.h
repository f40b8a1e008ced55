#pragma once

#include <QMainWindow>

class QAction;
class QMdiArea;
class QMenu;
class QToolBar;

namespace kivo::editor {

inline constexpr const char* kProgramTitle = "PC KIVO EDITOR 1.40";

// The main frame: menu bar, toolbar and the MDI area where the task windows open.
class Principal : public QMainWindow {
    Q_OBJECT
public:
    explicit Principal(QWidget* parent = nullptr);
    ~Principal() override;

    // Start-up from clearing the request and response to the splash: the clipboard path, the price
    // evaluator, the formulas of ventanas.ini (read only), the frame with its placement, then the splash.
    void Start(bool showSplash = true);

    // The commands, as the menu and the toolbar run them.
    void OpenTeamFileForEditing();
    void FindPlayers();
    void CreateFileWithAllPlayers();
    void FixForeignMarket();
    void EditPricesFormula();
    void OpenPlayersClipboard();
    void PrinterSetup();
    void HelpOnActiveWindow();
    void ArrangeIcons();

    // The help keyword of the window the user is working in.
    QString ActiveHelpKeyword() const;

    QMdiArea* taskArea() const { return area_; }
    QToolBar* toolBar() const { return toolBar_; }
    QAction* helpButton() const { return helpButton_; }
    QWidget* splash() const { return splash_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void FillWindowMenu();

    QMdiArea* area_;
    QToolBar* toolBar_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QAction* browseTeams_ = nullptr;
    QAction* findPlayers_ = nullptr;
    QAction* createFile_ = nullptr;
    QAction* fixMarket_ = nullptr;
    QAction* editFormula_ = nullptr;
    QAction* clipboard_ = nullptr;
    QAction* helpButton_ = nullptr;
    QList<QAction*> fixedWindowEntries_;
    QWidget* splash_ = nullptr;
};

} // namespace kivo::editor
