#include "gui/main/MainWindowLayout.h"
#include "gui/platform/OuterGeometryKeeper.h"
#include "support/TestDatabase.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStandardItemModel>
#include <QTreeView>
#include <QtTest>

namespace {

// A window with a two-column list, laid out from the settings of one database.
struct LaidOutWindow
{
    explicit LaidOutWindow(TDM& dm)
        : keeper(&window), list(&window), layout(dm, keeper, *list.header())
    {
        list.setModel(&columns);
    }

    QWidget window;
    OuterGeometryKeeper keeper;
    QStandardItemModel columns{0, 2};
    QTreeView list;
    MainWindowLayout layout;
};

} // namespace

// The main window's rectangle and column widths through the settings of a real database.
class TestMainWindowLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void whatQuitSavesTheNextStartLoads()
    {
        TestDatabase db;
        auto dm = db.open();
        {
            LaidOutWindow before(*dm);
            before.keeper.setOuter(QRect(40, 50, 320, 410));
            before.list.header()->resizeSection(0, 180);
            before.list.header()->resizeSection(1, 120);
            before.layout.saveWindowGeometry();
            before.layout.saveColumnWidths();
        }
        LaidOutWindow after(*dm);
        after.layout.loadWindowGeometry();
        after.layout.loadColumnWidths();
        QCOMPARE(after.keeper.outer(), QRect(40, 50, 320, 410));
        QCOMPARE(after.window.geometry(), QRect(40, 50, 320, 410));
        QCOMPARE(after.list.header()->sectionSize(0), 180);
        QCOMPARE(after.list.header()->sectionSize(1), 120);
    }

    // The screens asked are the ones present now: a rectangle stored on a screen that has
    // gone opens near the primary screen's bottom-right corner, at its stored size.
    void aRectangleOffEveryScreenOpensAtTheDefaultPosition()
    {
        TestDatabase db;
        auto dm = db.open();
        const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
        dm->SetSetting(QStringLiteral("FormMainLeft"), QString::number(desktop.right() + 500));
        dm->SetSetting(QStringLiteral("FormMainTop"), QString::number(desktop.bottom() + 500));
        dm->SetSetting(QStringLiteral("FormMainWidth"), QStringLiteral("320"));
        dm->SetSetting(QStringLiteral("FormMainHeight"), QStringLiteral("410"));
        LaidOutWindow window(*dm);
        window.layout.loadWindowGeometry();
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(window.keeper.outer(),
                 QRect(screen.width() - 320 - 40, screen.height() - 410 - 60, 320, 410));
    }
};

QTEST_MAIN(TestMainWindowLayout)
#include "TestMainWindowLayout.moc"
