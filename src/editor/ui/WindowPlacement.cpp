#include "editor/ui/WindowPlacement.h"

#include <filesystem>

#include <QDir>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "editor/ui/EditorState.h"

namespace kivo::editor {

namespace {

// The widget whose geometry is the window's placement: the MDI subwindow around a task window.
QWidget* PlacedWidget(QWidget* window) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()); sub && sub->widget() == window)
        return sub;
    return window;
}

bool IsResizable(const QWidget* placed) {
    if (placed->minimumSize() == placed->maximumSize()) return false;
    if (auto* sub = qobject_cast<const QMdiSubWindow*>(placed); sub && sub->widget())
        return sub->widget()->minimumSize() != sub->widget()->maximumSize();
    return true;
}

// `rect` moved (not resized) as little as possible to lie within `room`; its top-left wins when it is larger.
QPoint MovedInto(const QRect& rect, const QRect& room) {
    const int x = std::max(room.left(), std::min(rect.left(), room.left() + room.width() - rect.width()));
    const int y = std::max(room.top(), std::min(rect.top(), room.top() + room.height() - rect.height()));
    return {x, y};
}

QString PlacementDirectory() {
    const QString& dir = Globals().PlacementDirectory;
    if (!dir.isEmpty()) return dir;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

} // namespace

std::string PlacementIniPath(const std::string& iniName) {
    return (std::filesystem::path(PlacementDirectory().toStdString()) / iniName).string();
}

void SaveWindowPlacement(QWidget* window, const std::string& iniName, const std::string& section) {
    QWidget* placed = PlacedWidget(window);
    const bool maximised = placed->isMaximized();
    QRect normal;
    if (placed->isWindow()) {
        normal = placed->normalGeometry();
    } else {
        // A subwindow keeps its normal geometry to itself until it is taken out of the maximised state.
        if (maximised) placed->showNormal();
        normal = placed->geometry();
    }
    if (placed->isMinimized()) return;

    const std::string ini = PlacementIniPath(iniName);
    QDir().mkpath(PlacementDirectory());
    // Failures to write the placement are not reported: the window just opens at its design place next time.
    WriteIniText(ini, section, kPlacementMaximize, maximised ? "Yes" : "No");
    WriteIniText(ini, section, kPlacementXPosit, std::to_string(normal.x()));
    WriteIniText(ini, section, kPlacementYPosit, std::to_string(normal.y()));
    WriteIniText(ini, section, kPlacementWidth, std::to_string(normal.width()));
    WriteIniText(ini, section, kPlacementHeight, std::to_string(normal.height()));
}

void RestoreWindowPlacement(QWidget* window, const std::string& iniName, const std::string& section) {
    QWidget* placed = PlacedWidget(window);
    const std::string ini = PlacementIniPath(iniName);
    if (ReadIniNumber(ini, section, kPlacementXPosit) == 0) return;

    if (!placed->isMaximized()) {
        const long x = ReadIniNumber(ini, section, kPlacementXPosit);
        const long y = ReadIniNumber(ini, section, kPlacementYPosit);
        if (x != 0 && y != 0) {
            long width = placed->width();
            long height = placed->height();
            bool place = true;
            if (IsResizable(placed)) {
                width = ReadIniNumber(ini, section, kPlacementWidth);
                height = ReadIniNumber(ini, section, kPlacementHeight);
                place = width != 0 && height != 0;
            }
            if (place) {
                placed->setGeometry(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                                    static_cast<int>(height));
                KeepWithinRoom(placed);
            }
        }
    }

    std::string maximize = ReadIniText(ini, section, kPlacementMaximize, "");
    if (maximize.size() > 20) maximize.resize(20);
    const bool wantMaximised = TrimRight(maximize) == "Yes";
    if (placed->isVisible()) {
        if (wantMaximised)
            placed->showMaximized();
        else if (placed->isMaximized())
            placed->showNormal();
    } else {
        placed->setWindowState(wantMaximised ? (placed->windowState() | Qt::WindowMaximized)
                                             : (placed->windowState() & ~Qt::WindowMaximized));
    }
}

QRect AvailableArea(const QWidget* window) {
    const QRect& faked = Globals().AvailableArea;
    if (!faked.isEmpty()) return faked;
    QScreen* screen = window ? window->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

void KeepWithinRoom(QWidget* window) {
    QWidget* placed = PlacedWidget(window);
    if (placed->isMaximized() || placed->isMinimized()) return;
    if (!placed->isWindow()) {
        QWidget* area = placed->parentWidget();
        if (!area) return;
        const QRect room = area->rect();
        const QSize size = placed->size().boundedTo(room.size()).expandedTo(placed->minimumSize());
        if (size != placed->size()) placed->resize(size);
        const QPoint at = MovedInto(placed->geometry(), room);
        if (at != placed->pos()) placed->move(at);
        return;
    }
    // The window's own frame (title bar, borders) is part of what must fit.
    const QRect room = AvailableArea(placed);
    const QRect outer = placed->frameGeometry();
    const QSize frame = outer.size() - placed->size();
    const QSize size = placed->size().boundedTo(room.size() - frame).expandedTo(placed->minimumSize());
    if (size != placed->size()) placed->resize(size);
    const QPoint at = MovedInto(QRect(outer.topLeft(), size + frame), room);
    if (at != outer.topLeft()) placed->move(at);
}

void CentreOver(QWidget* window, const QWidget* over) {
    const QWidget* target = over ? over->window() : nullptr;
    const QRect outer = window->frameGeometry();
    const QRect around = target ? target->frameGeometry() : AvailableArea(window);
    window->move(around.center() - QPoint(outer.width() / 2, outer.height() / 2));
    KeepWithinRoom(window);
}

} // namespace kivo::editor
