#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QtTest>

#include "editor/app/Principal.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "editor/players/BrowserBusquedas.h"
#include "editor/ui/HelpViewer.h"
#include "TeamEditorSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

QString WithoutMnemonic(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == QLatin1Char('&')) text.remove(i, 1);
    return text.trimmed();
}

// The prompt that stands for `control` in its window: the label whose buddy it is.
QLabel* PromptOf(QWidget* control) {
    for (QLabel* label : control->window()->findChildren<QLabel*>())
        if (label->buddy() == control) return label;
    return nullptr;
}

bool IsEntry(QWidget* w) {
    if (w->parentWidget() &&
        (qobject_cast<QAbstractSpinBox*>(w->parentWidget()) || qobject_cast<QComboBox*>(w->parentWidget())))
        return false; // the inner line of a number field or drop list is part of it
    return qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w) ||
           qobject_cast<QAbstractItemView*>(w);
}

// Walks what a screen reader sees of a window and notes every control whose name breaks the rule: a button
// with text is named by its text (its tool tip stays its description), an entry by its prompt as written,
// and a control without either still has a name. `seen` collects "name" of every entry with a prompt.
void Check(QAccessibleInterface* face, QStringList& wrong, QStringList& seen) {
    if (!face) return;
    auto* w = qobject_cast<QWidget*>(face->object());
    const QString name = face->text(QAccessible::Name);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        const QString text = WithoutMnemonic(button->text());
        if (!text.isEmpty() && name != text)
            wrong << QStringLiteral("button '%1' named '%2'").arg(text, name);
        if (text.isEmpty() && name.trimmed().isEmpty()) wrong << QStringLiteral("icon button without a name");
        if (!button->toolTip().isEmpty() && face->text(QAccessible::Description) != button->toolTip())
            wrong << QStringLiteral("button '%1' lost its tool tip").arg(text);
    } else if (w && IsEntry(w)) {
        if (QLabel* prompt = PromptOf(w)) {
            const QString text = WithoutMnemonic(prompt->text());
            // On Unix a drop list's accessible name is its current entry; its prompt reaches the reader as
            // the label it is labelled by, and its own name is kept for the platforms that read that.
            // Qt finds a label relation among the control's siblings only; a buddy elsewhere (the prompt of a
            // directory field's drop list) labels it all the same.
            bool labelled = prompt->buddy() == w;
            for (const auto& relation : face->relations(QAccessible::Label))
                labelled = labelled || relation.first->object() == prompt;
            const bool named =
                qobject_cast<QComboBox*>(w) ? labelled && w->accessibleName() == text : name == text;
            if (!named) wrong << QStringLiteral("entry '%1' named '%2'").arg(text, w->accessibleName());
            seen << w->accessibleName();
        } else if (name.trimmed().isEmpty()) {
            wrong << QStringLiteral("%1 without a name").arg(QLatin1String(w->metaObject()->className()));
        }
    }
    if (w && (qobject_cast<QAbstractItemView*>(w) || qobject_cast<QComboBox*>(w)))
        return; // rows, not controls
    for (int i = 0; i < face->childCount(); ++i)
        Check(face->child(i), wrong, seen);
}

QStringList CheckWindow(QWidget* window, QStringList& seen) {
    QStringList wrong;
    Check(QAccessible::queryAccessibleInterface(window), wrong, seen);
    return wrong;
}

QAction* Entry(Principal& frame, const char* menu, const char* entry) {
    for (QAction* a : test::MenuOf(frame, QString::fromLatin1(menu))->actions())
        if (a->text() == QLatin1String(entry)) return a;
    return nullptr;
}

template <class W> W* Opened(Principal& frame) {
    for (QMdiSubWindow* sub : frame.taskArea()->subWindowList())
        if (auto* w = qobject_cast<W*>(sub->widget())) return w;
    return nullptr;
}

} // namespace

// What a screen reader reads in the windows opened the way the program opens them.
class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void frameWindowsNameTheirControlsOneWay() {
        test::Seams seams;
        Globals().ClipboardFilePath = seams.StartFile("portapap.tps").toStdString();
        Principal frame;
        frame.show();
        QStringList seen;
        const char* const entries[][2] = {{"&File", "&Browse Teams from a Country, Region..."},
                                          {"&File", "&Find Players"},
                                          {"&File", "&Create a File with all the Players"},
                                          {"&File", "&Fix Foreign Market Players"},
                                          {"&File", "&Edit Prices Formula"}};
        for (const auto& e : entries) {
            QAction* action = Entry(frame, e[0], e[1]);
            QVERIFY2(action, e[1]);
            action->trigger();
            QMdiSubWindow* sub = frame.taskArea()->activeSubWindow();
            QVERIFY2(sub, e[1]);
            const QStringList wrong = CheckWindow(sub->widget(), seen);
            QVERIFY2(wrong.isEmpty(), qPrintable(sub->widget()->windowTitle() + ": " + wrong.join(" | ")));
        }
        // The browser's own windows: the search form and the update window.
        auto* browser = Opened<BrowserBusquedas>(frame);
        QVERIFY(browser);
        for (const char* command : {"Set Search Criteria and Search", "Update One Team File"}) {
            frame.taskArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(browser->parentWidget()));
            QTest::mouseClick(browser->button(QString::fromLatin1(command)), Qt::LeftButton);
            QMdiSubWindow* sub = frame.taskArea()->activeSubWindow();
            QVERIFY(sub && sub->widget() != browser);
            const QStringList wrong = CheckWindow(sub->widget(), seen);
            QVERIFY2(wrong.isEmpty(), qPrintable(sub->widget()->windowTitle() + ": " + wrong.join(" | ")));
            sub->close();
            QCoreApplication::processEvents();
        }
        // The same prompt reads the same in every window that has it.
        QCOMPARE(seen.count(QStringLiteral("Team Files Directory:")), 3);
        for (const char* name : {"Quick Filter:", "Selected Mark:", "Country:", "Ball Control:", "Price:",
                                 "TEAM file Number:", "Back Formula:"})
            QVERIFY2(seen.contains(QLatin1String(name)), name);
        QVERIFY2(seen.filter(QRegularExpression(QStringLiteral("[^:]$"))).isEmpty(),
                 qPrintable(seen.join('|')));
        // The browser's buttons by their text, their tips kept: "Clear Marks" is not "Clear Marks
        // (Selected)".
        QPushButton* clear = browser->button(QStringLiteral("Clear Marks"));
        QCOMPARE(QAccessible::queryAccessibleInterface(clear)->text(QAccessible::Name),
                 QStringLiteral("Clear Marks"));
        QCOMPARE(clear->toolTip(), QStringLiteral("Clear Marks (Selected)"));
        frame.taskArea()->closeAllSubWindows();
    }

    void clipboardIsAWindow() {
        test::Seams seams;
        Globals().ClipboardFilePath = seams.StartFile("portapap.tps").toStdString();
        Principal frame;
        frame.show();
        Entry(frame, "&Window", "&Players Clipboard")->trigger();
        auto* clipboard = qobject_cast<VerPortapapeles*>(Globals().ClipboardThread.data());
        QVERIFY(clipboard);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(clipboard);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::Window);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Players Clipboard"));
        QStringList seen;
        const QStringList wrong = CheckWindow(clipboard, seen);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(" | ")));
        // Its controls are reached through it, as a window's are.
        QStringList names;
        for (int i = 0; i < face->childCount(); ++i)
            names << face->child(i)->text(QAccessible::Name);
        QVERIFY2(names.contains("Players in Clipboard") && names.contains("Delete") && names.contains("Help"),
                 qPrintable(names.join('|')));
        clipboard->close();
    }

    void teamEditorTabsAndHelpViewer() {
        test::Opened o(QStringLiteral("TEAM.008"), test::Team(1), true);
        QStringList seen;
        for (int tab = 0; tab < o.editor->tabs()->count(); ++tab) {
            o.editor->tabs()->setCurrentIndex(tab);
            const QStringList wrong = CheckWindow(o.editor, seen);
            QVERIFY2(wrong.isEmpty(), qPrintable(o.editor->tabs()->tabText(tab) + ": " + wrong.join(" | ")));
        }
        for (const char* name : {"Team Name:", "Coach Name:", "Tactics:", "Division:", "Country:",
                                 "Main Shirt Color:", "Socks Color:"})
            QVERIFY2(seen.contains(QLatin1String(name)), name);
        // A tab's name is its title without the mnemonic marker.
        QAccessibleInterface* tabs = QAccessible::queryAccessibleInterface(o.editor->tabs()->tabBar());
        QStringList titles;
        for (int i = 0; i < tabs->childCount(); ++i)
            if (tabs->child(i)->role() == QAccessible::PageTab)
                titles << tabs->child(i)->text(QAccessible::Name);
        QCOMPARE(titles, (QStringList{"General", "Main Kit", "Secondary Kit", "Players"}));
        QTest::mouseClick(o.editor->cancelButton(), Qt::LeftButton);

        HelpViewer* viewer = HelpViewer::Instance();
        viewer->ShowSearch();
        const QStringList wrong = CheckWindow(viewer, seen);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(" | ")));
        QVERIFY(seen.contains(QStringLiteral("Words to search for:")));
        viewer->close();
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_Accessibility.moc"
