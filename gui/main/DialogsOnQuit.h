#pragma once

// What a quit does with the windows open over the main window. Only the note editor can hold
// text that must not be lost; the others (the delete question, the password window, About)
// are simply closed.

#include <functional>

class QDialog;
class QWidget;

// Closes the dialogs open over window before the program ends. openDialog is the one the
// window runs now, if any. When the editor holds changes, mayAsk asks whether to save them
// (Yes / No / Cancel); without it (a termination signal, the end of the session) they are
// saved as far as they can be. quitting tells whether the program has ended meanwhile (a
// termination while the question was open). Returns false when the program keeps running:
// the user cancelled, or the editor kept its note open with a message.
bool closeDialogsForQuit(QWidget& window, QDialog* openDialog, bool mayAsk,
                         const std::function<bool()>& quitting);
