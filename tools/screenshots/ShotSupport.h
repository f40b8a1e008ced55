#pragma once

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QString>
#include <QWidget>

namespace kivo::editor {

class Principal;

// Where the pictures go, and whether every one was written.
struct Shots {
    QString out;
    int failures = 0;
};

inline void Save(Shots& shots, QWidget* w, const char* name) {
    w->show();
    w->raise();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const QString path = QDir(shots.out).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!w->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++shots.failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

// Each group of windows renders its own pictures (run in the sample workspace, the frame started).
void ShootTeamWindows(Shots& shots, Principal& frame);
void ShootPlayerWindows(Shots& shots, Principal& frame);
void ShootClipboardPricesAndMarket(Shots& shots, Principal& frame);
// Parts of the groups above, each in a file of its own.
// The team editor's tabs, named editor-<tab><suffix>.
void ShootTeamEditor(Shots& shots, Principal& frame, const char* suffix = "");
void ShootKitPictures(Shots& shots);
void ShootPlayerBrowser(Shots& shots, Principal& frame);

} // namespace kivo::editor
