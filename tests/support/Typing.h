#pragma once

// Typing into a widget as a user does, for text QTest::keyClicks cannot type.

#include <QString>
#include <QWidget>
#include <QtTest>

// Types text as key presses. QTest::keyClicks knows ASCII only; every other character is sent
// as a key press carrying its text, a pair of UTF-16 units as one character.
inline void typeText(QWidget* widget, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, char(c.unicode()));
            continue;
        }
        const qsizetype units = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, units),
                            Qt::NoModifier);
        i += units - 1;
    }
}
