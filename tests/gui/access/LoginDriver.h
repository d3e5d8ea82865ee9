#pragma once

// Runs the start-up login gate in the test process and answers its window as a user would.

#include "core/storage/DataModule.h"
#include "gui/access/FormLogowanie.h"
#include "support/ModalWatcher.h"
#include "support/Typing.h"

#include <QLineEdit>
#include <QPointer>
#include <QtTest>
#include <functional>

struct GateRun
{
    bool granted = false;
    // Whether the login window was shown.
    bool asked = false;
    // The plain messages shown over the login window, in order.
    QStringList messages;
};

// Types each entry into the login window and presses Enter in the field; after a wrong entry
// the window must still be open with the entry in place. When the entries are used up and the
// window is still open, leave(window) must close it.
inline GateRun runGateWith(TDM& dm, const QStringList& entries,
                           const std::function<void(TFormLogowanie*)>& leave = {})
{
    GateRun run;
    // Message boxes come while the login window's handler below is still busy, so a watcher
    // of their own answers them.
    ModalWatcher boxes([](QWidget*) {});
    ModalWatcher login([&](QWidget* modal) {
        auto* window = qobject_cast<TFormLogowanie*>(modal);
        QVERIFY(window);
        run.asked = true;
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(window->Haslo->hasFocus());
        QPointer<TFormLogowanie> guard(window);
        for (const QString& entry : entries) {
            window->Haslo->clear();
            typeText(window->Haslo, entry);
            QTest::keyClick(window->Haslo, Qt::Key_Return);
            if (!guard || !guard->isVisible())
                return;
            QCOMPARE(window->Haslo->text(), entry);
        }
        if (leave)
            leave(window);
        if (guard && guard->isVisible()) {
            guard->reject();
            QFAIL("the login window stayed open");
        }
    });
    run.granted = runLoginGate(dm);
    run.messages = boxes.messages;
    return run;
}
