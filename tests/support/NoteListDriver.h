#pragma once

// Helpers for tests that drive the main window's note list: note rows written straight into a
// test database, a window set up for tests, and reading or clicking the list as a user would.

#include "gui/main/FormMain.h"
#include "support/TestDatabase.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>

// Inserts a note row through a connection of its own. created is a timestamp literal's text,
// e.g. "2024.05.01 08:30:00".
void insertNote(const TestDatabase& db, qint32 id, const QString& title, const QString& created,
                int alarm = 0, const QString& text = {});

// A window with a tray (so it hides rather than minimises) whose alarm checker and blinking
// thread keep quiet unless the test asks for a beat.
FormMainOptions quietWindowOptions();

// How far openMainWindow waits: until the window is on screen, or until it also has the
// keyboard focus.
enum class WindowShown
{
    Exposed,
    Active
};
// Shows the window (ShowMainWindow) and waits until it is shown as asked; false when it is
// not.
bool openMainWindow(TFormMain& form, WindowShown until = WindowShown::Exposed);

// The list once its newest fill is complete (these wait for it, like a user looking at it).
QStringList listedTitles(TFormMain& form);
QList<int> listedImages(TFormMain& form);
// The note IDs of the selected rows.
QList<qint32> selectedNoteIds(TFormMain& form);
// Clicks the row like a user selecting it, once the list is complete.
void clickRow(TFormMain& form, int row);
// Types into the search box and waits until the list shows the result of the text.
bool typeSearch(TFormMain& form, const QString& text);
// Waits until the newest fill of the list is complete.
bool waitForList(TFormMain& form);
// Waits until the list's worker has no request waiting, running or on its way back, and runs
// what it posted: after this no result of an earlier fill, nor anything it sets off, can come.
bool waitUntilListSettled(TFormMain& form);
