#include "gui/main/FormMain.h"
#include "support/NoteListDriver.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>
#include <QtTest>

using namespace Qt::StringLiterals;

// The note list as drawn in a window wider than its columns: like a report-style list, the
// header and each row's background reach the right edge of the view.
class TestNoteListLook : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void headerAndRowsReachTheRightEdge()
    {
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("first"), QStringLiteral("2024.01.01 10:00:00"));
        insertNote(db, 2, QStringLiteral("second"), QStringLiteral("2024.01.02 10:00:00"));
        insertNote(db, 3, QStringLiteral("third"), QStringLiteral("2024.01.03 10:00:00"));
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        form.resize(600, 400);
        QVERIFY(openMainWindow(form));
        QCOMPARE(listedTitles(form), (QStringList{u"third"_s, u"second"_s, u"first"_s}));
        clickRow(form, 1);
        // The selection stays shown in the search box's turn; the list's focus frame, which
        // tints the columns it spans, is not what this looks at.
        form.SzukanyCiag->setFocus();
        QTRY_VERIFY(form.SzukanyCiag->hasFocus());

        QTreeView* list = form.LVNotatki;
        QHeaderView* header = list->header();
        const int columnsEnd = header->sectionPosition(1) + header->sectionSize(1);
        QVERIFY2(columnsEnd + 40 < list->viewport()->width(), "the window is not wider");
        const int nearEdge = list->viewport()->width() - 4;

        // The header beyond the last column looks like a column header without a caption:
        // compared with the empty right part of the "Date" header, row by row.
        const QImage headerImage = header->grab().toImage();
        for (int y = 2; y < header->height() - 2; ++y)
            QVERIFY2(headerImage.pixelColor(nearEdge, y) ==
                         headerImage.pixelColor(columnsEnd - 6, y),
                     qPrintable(QStringLiteral("header line %1").arg(y)));

        // Each row's colour, the selection's included, goes on to the edge: compared with the
        // empty right part of its title cell.
        const QImage rows = list->viewport()->grab().toImage();
        for (int row = 0; row < 3; ++row) {
            const QRect rect = list->visualRect(list->model()->index(row, 0));
            const int y = rect.center().y();
            QVERIFY2(rows.pixelColor(nearEdge, y) == rows.pixelColor(rect.right() - 10, y),
                     qPrintable(QStringLiteral("row %1").arg(row)));
        }
        // The stripes differ, or the check above proves nothing.
        const int y0 = list->visualRect(list->model()->index(0, 1)).center().y();
        const int y1 = list->visualRect(list->model()->index(1, 1)).center().y();
        const int y2 = list->visualRect(list->model()->index(2, 1)).center().y();
        QVERIFY(rows.pixelColor(nearEdge, y0) != rows.pixelColor(nearEdge, y1));
        QVERIFY(rows.pixelColor(nearEdge, y0) != rows.pixelColor(nearEdge, y2) ||
                rows.pixelColor(nearEdge, y1) != rows.pixelColor(nearEdge, y2));
    }
};

QTEST_MAIN(TestNoteListLook)
#include "TestNoteListLook.moc"
