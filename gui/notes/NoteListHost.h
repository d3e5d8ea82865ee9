#pragma once

#include <QList>
#include <QString>

class QWidget;

// What the note dialogs need of the main window's note list: the note to select after a
// reload, the search text, and the reloads themselves.
class NoteListHost
{
public:
    virtual ~NoteListHost() = default;

    virtual qint32 currentNoteId() const = 0;
    virtual void setCurrentNoteId(qint32 id) = 0;
    // The text of the search box, as typed.
    virtual QString searchText() const = 0;
    // Gives the keyboard focus to the note list.
    virtual void focusNoteList() = 0;
    // Reloads the full list and selects the current note again when its row arrives. The
    // reload may go on after the call returns (the rows stream in); true when it was started.
    virtual bool LoadNotes() = 0;
    // Runs the search again when the search box holds text, otherwise LoadNotes.
    virtual bool RefreshNotes() = 0;
    // Called right after the dialog committed a change of a note (one transaction), before the
    // reload that shows it: the list need not reload again when the change is announced.
    virtual void noteChangeCommitted() {}
    // The note IDs of the complete list, top to bottom: a reload under way is waited for.
    virtual QList<qint32> listedNoteIds() const = 0;
    // The window dialogs are centred over and owned by.
    virtual QWidget* dialogParent() = 0;
};
