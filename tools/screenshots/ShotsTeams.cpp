#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include "editor/app/Principal.h"
#include "editor/teams/EquiposExistentes.h"
#include "editor/teams/VerEquipos.h"
#include "tools/screenshots/ShotSupport.h"
#include "editor/ui/ReportPreview.h"

namespace kivo::editor {

namespace {

void Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

template <class W> W* Find(Principal& frame) {
    for (QMdiSubWindow* sub : frame.taskArea()->subWindowList())
        if (auto* w = qobject_cast<W*>(sub->widget())) return w;
    return nullptr;
}

// The catalogue on the sample data, the browser of England's file and the team sheet of its third team.
void ShootCatalogueBrowserAndSheet(Shots& shots, Principal& frame) {
    frame.OpenTeamFileForEditing();
    auto* catalogue = Find<EquiposExistentes>(frame);
    if (!catalogue) {
        ++shots.failures;
        return;
    }
    QMdiSubWindow* catalogueFrame = frame.taskArea()->currentSubWindow();
    Save(shots, catalogueFrame, "catalogue");
    catalogue->tabs()->setCurrentIndex(6);
    Save(shots, catalogueFrame, "catalogue-national-teams");
    catalogue->tabs()->setCurrentIndex(0);

    if (QPushButton* england = catalogue->fileButton(8)) england->click();
    auto* browser = Find<VerEquipos>(frame);
    if (!browser) {
        ++shots.failures;
        return;
    }
    QWidget* browserFrame = browser->parentWidget();
    browser->list()->setCurrentItem(browser->list()->topLevelItem(2));
    Save(shots, browserFrame, "browse-teams");

    browser->PrintTeam();
    Wait(600);
    ReportPreview* preview = frame.findChild<ReportPreview*>();
    if (!preview) {
        ++shots.failures;
        return;
    }
    preview->SetZoom(1);
    Save(shots, preview, "team-sheet");
    preview->close();
    Wait(50);
}

} // namespace

void ShootTeamWindows(Shots& shots, Principal& frame) {
    ShootCatalogueBrowserAndSheet(shots, frame);
    frame.taskArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ShootKitPictures(shots);
    ShootTeamEditor(shots, frame);
}

} // namespace kivo::editor
