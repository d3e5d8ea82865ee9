#include "gui/platform/FixedDialog.h"

#include <QAction>
#include <QDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>
#include <optional>

namespace {

// A dialog made of the kit's parts only, with a field to type in; nothing is connected, so
// the spies see exactly what the keys and the kit do.
struct KitDialog
{
    explicit KitDialog(bool closesOnEnter)
    {
        layout = fixed_dialog::setUp(&dialog, QStringLiteral("Kit"), QStringLiteral("Kit test"),
                                     QSize(237, 114));
        field = new QLineEdit(&dialog);
        layout->addWidget(field, QRect(8, 24, 221, 21));
        bevel = fixed_dialog::addBevel(layout, QRect(4, 78, 229, 2));
        ok = fixed_dialog::addOkButton(layout, QRect(80, 85, 72, 24));
        cancel = fixed_dialog::addCancelButton(layout, QRect(157, 85, 72, 24));
        if (closesOnEnter) {
            close = fixed_dialog::addCloseAction(&dialog, QString(),
                                                 {QKeySequence(Qt::Key_Escape),
                                                  QKeySequence(Qt::Key_Return),
                                                  QKeySequence(Qt::Key_Enter)});
        } else {
            confirm = fixed_dialog::addConfirmAction(&dialog);
            close = fixed_dialog::addCloseAction(&dialog);
        }
    }

    QDialog dialog;
    AnchorLayout* layout = nullptr;
    QLineEdit* field = nullptr;
    QFrame* bevel = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QAction* confirm = nullptr;
    QAction* close = nullptr;
};

} // namespace

// The parts every small dialog is made of: the fixed frame, where the parts land, and which
// action a key runs, once, whichever control has the focus, ahead of the dialog's own Enter
// (the default button) and Esc (reject).
class TestFixedDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysRunTheWindowActionsOnce_data()
    {
        QTest::addColumn<bool>("closesOnEnter");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("confirms");
        QTest::addColumn<int>("closes");

        QTest::newRow("Return in the field confirms")
            << false << "field" << int(Qt::Key_Return) << 1 << 0;
        QTest::newRow("keypad Enter in the field confirms")
            << false << "field" << int(Qt::Key_Enter) << 1 << 0;
        QTest::newRow("Return on OK confirms, no click besides")
            << false << "ok" << int(Qt::Key_Return) << 1 << 0;
        QTest::newRow("Return on Cancel is the dialog's to judge")
            << false << "cancel" << int(Qt::Key_Return) << 1 << 0;
        QTest::newRow("Esc in the field closes")
            << false << "field" << int(Qt::Key_Escape) << 0 << 1;
        QTest::newRow("Esc on OK closes") << false << "ok" << int(Qt::Key_Escape) << 0 << 1;
        QTest::newRow("Return closes where nothing is confirmed")
            << true << "field" << int(Qt::Key_Return) << 0 << 1;
        QTest::newRow("keypad Enter on OK closes where nothing is confirmed")
            << true << "ok" << int(Qt::Key_Enter) << 0 << 1;
        QTest::newRow("Esc closes where nothing is confirmed")
            << true << "cancel" << int(Qt::Key_Escape) << 0 << 1;
    }
    void keysRunTheWindowActionsOnce()
    {
        QFETCH(bool, closesOnEnter);
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, confirms);
        QFETCH(int, closes);

        KitDialog kit(closesOnEnter);
        QSignalSpy closed(kit.close, &QAction::triggered);
        std::optional<QSignalSpy> confirmed;
        if (kit.confirm)
            confirmed.emplace(kit.confirm, &QAction::triggered);
        QSignalSpy okClicked(kit.ok, &QPushButton::clicked);
        QSignalSpy cancelClicked(kit.cancel, &QPushButton::clicked);
        QSignalSpy finished(&kit.dialog, &QDialog::finished);

        kit.dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&kit.dialog));
        QWidget* target = focus == QLatin1String("ok")       ? kit.ok
                          : focus == QLatin1String("cancel") ? kit.cancel
                                                             : static_cast<QWidget*>(kit.field);
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());

        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(confirmed ? confirmed->count() : 0, confirms);
        QCOMPARE(closed.count(), closes);
        // Only the actions ran: no button was pressed and the dialog did not close itself.
        QCOMPARE(okClicked.count(), 0);
        QCOMPARE(cancelClicked.count(), 0);
        QCOMPARE(finished.count(), 0);
        QVERIFY(kit.dialog.isVisible());
    }

    // The frame keeps its client size, shows no minimise or maximise box and opens centred on
    // the screen; the parts land on their rectangles and the default button is OK's alone.
    void frameAndParts()
    {
        KitDialog kit(false);
        kit.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&kit.dialog));

        QCOMPARE(kit.dialog.objectName(), QStringLiteral("Kit"));
        QCOMPARE(kit.dialog.windowTitle(), QStringLiteral("Kit test"));
        QCOMPARE(kit.dialog.size(), QSize(237, 114));
        QCOMPARE(kit.dialog.minimumSize(), QSize(237, 114));
        QCOMPARE(kit.dialog.maximumSize(), QSize(237, 114));
        QVERIFY(!kit.dialog.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!kit.dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(kit.dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        // Centred on the screen, to within the window frame the platform adds around it.
        const QRect client = kit.dialog.geometry();
        const QRect frame = kit.dialog.frameGeometry();
        const QPoint off =
            client.center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        const int frameWidth = std::max(client.x() - frame.x(), client.y() - frame.y());
        QVERIFY2(qAbs(off.x()) <= frameWidth + 1 && qAbs(off.y()) <= frameWidth + 1,
                 qPrintable(QStringLiteral("off centre by %1, %2").arg(off.x()).arg(off.y())));
        QCOMPARE(kit.dialog.palette().color(QPalette::Window), QColor(255, 251, 240));

        QCOMPARE(kit.bevel->objectName(), QStringLiteral("Bevel1"));
        QCOMPARE(kit.bevel->frameShape(), QFrame::HLine);
        QCOMPARE(kit.bevel->geometry(), QRect(4, 78, 229, 2));
        QCOMPARE(kit.ok->objectName(), QStringLiteral("OK"));
        QCOMPARE(kit.ok->text(), QStringLiteral("&OK"));
        QCOMPARE(kit.ok->geometry(), QRect(80, 85, 72, 24));
        QCOMPARE(kit.cancel->objectName(), QStringLiteral("Anuluj"));
        QCOMPARE(kit.cancel->text(), QStringLiteral("&Cancel"));
        QCOMPARE(kit.cancel->geometry(), QRect(157, 85, 72, 24));
        QVERIFY(!kit.ok->icon().isNull() && !kit.cancel->icon().isNull());

        // Tabbing onto Cancel leaves OK the default button.
        kit.ok->setFocus();
        QTest::keyClick(kit.ok, Qt::Key_Tab);
        QTRY_VERIFY(kit.cancel->hasFocus());
        QVERIFY(kit.ok->isDefault());
        QVERIFY(!kit.cancel->isDefault());
    }
};

QTEST_MAIN(TestFixedDialog)
#include "TestFixedDialog.moc"
