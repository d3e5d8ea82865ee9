#include "gui/main/DialogsOnQuit.h"

#include "gui/notes/FormNotatka.h"
#include "gui/platform/SaveQuestion.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

bool closeDialogsForQuit(QWidget& window, QDialog* openDialog, bool mayAsk,
                         const std::function<bool()>& quitting)
{
    const QPointer<TFormNotatka> editor = qobject_cast<TFormNotatka*>(openDialog);
    if (editor && editor->isVisible() && editor->hasChanges()) {
        if (!mayAsk) {
            editor->saveForQuit();
        } else {
            switch (askToSaveChanges(editor)) {
            case SaveAnswer::Yes:
                // OK closes the editor once the note is stored; a refused moment or a failed
                // save leaves it open with its message shown.
                editor->OKClick();
                if (quitting() || !editor || editor->isVisible())
                    return false;
                break;
            case SaveAnswer::No:
                break;
            case SaveAnswer::Cancel:
                return false;
            }
            // A termination that came while the question was open has ended the program.
            if (quitting())
                return false;
        }
    }
    // Every other window open over this one (the editor without changes, the delete question,
    // the password window, About) holds nothing that must be kept. Each ends its own event
    // loop; the exit that follows ends the rest.
    for (QDialog* dialog : window.findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        if (dialog->isVisible())
            dialog->reject();
    return true;
}
