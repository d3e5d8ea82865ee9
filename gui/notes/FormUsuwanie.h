#pragma once

// TFormUsuwanie: the question asked before a note is deleted. On Yes it moves the list's
// current note to the neighbour of the one being deleted, deletes the note's row and has the
// main window reload its list as the search box asks (RefreshNotes); on No, Esc or the close
// box it closes without deleting.

#include <QDialog>

class NoteListHost;
class QAction;
class QLabel;
class QPushButton;
class TDM;

class TFormUsuwanie : public QDialog
{
    Q_OBJECT
public:
    TFormUsuwanie(TDM& dm, NoteListHost& host, QWidget* parent = nullptr);

    // The note to delete; set by the opener before showing.
    qint32 NoteId = -1;
    // Names the note for a screen reader: the question stays as it is, its description and the
    // window's say "Note: <title>". Set by the opener before showing.
    void setNoteTitle(const QString& title);

    // Confirmation (Enter anywhere, or Yes): Enter while No has the focus means No.
    void ZatwierdzExecute();
    void ZamknijExecute();
    // Deletes the note's row; a failure is written to the log and nothing else happens.
    void DeleteNote(qint32 noteId);

    QLabel* Label1 = nullptr;
    QPushButton* TAK = nullptr;
    QPushButton* NIE = nullptr;
    QAction* Zatwierdz = nullptr;
    QAction* Zamknij = nullptr;

private:
    TDM& dm_;
    NoteListHost& host_;
};
