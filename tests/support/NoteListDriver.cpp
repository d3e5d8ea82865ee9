#include "support/NoteListDriver.h"

#include "core/storage/SqlText.h"
#include "gui/main/NoteListFill.h"
#include "gui/main/NoteListModel.h"

#include <QLineEdit>
#include <QTreeView>
#include <QtTest>

void insertNote(const TestDatabase& db, qint32 id, const QString& title, const QString& created,
                int alarm, const QString& text)
{
    db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm) VALUES "
                              "(%1, %2, %3, %4, %5)")
                   .arg(id)
                   .arg(sql::quoted(title), sql::quoted(text), sql::quoted(created))
                   .arg(alarm));
}

FormMainOptions quietWindowOptions()
{
    FormMainOptions options;
    options.trayAvailable = true;
    options.alarmInterval = std::chrono::hours(1);
    options.blinkInterval = std::chrono::hours(1);
    return options;
}

QStringList listedTitles(TFormMain& form)
{
    waitForList(form);
    QStringList titles;
    const NoteListModel* model = form.notesModel();
    for (int row = 0; row < model->rowCount(); ++row)
        titles << model->index(row, 0).data().toString();
    return titles;
}

QList<int> listedImages(TFormMain& form)
{
    waitForList(form);
    QList<int> images;
    const NoteListModel* model = form.notesModel();
    for (int row = 0; row < model->rowCount(); ++row)
        images << model->index(row, 0).data(NoteListModel::ImageIndexRole).toInt();
    return images;
}

QList<qint32> selectedNoteIds(TFormMain& form)
{
    waitForList(form);
    QList<qint32> ids;
    for (const QModelIndex& index : form.LVNotatki->selectionModel()->selectedRows())
        ids << index.data(NoteListModel::NoteIdRole).toInt();
    return ids;
}

void clickRow(TFormMain& form, int row)
{
    waitForList(form);
    const QModelIndex index = form.notesModel()->index(row, 0);
    form.LVNotatki->scrollTo(index);
    QTest::mouseClick(form.LVNotatki->viewport(), Qt::LeftButton, {},
                      form.LVNotatki->visualRect(index).center());
}

bool openMainWindow(TFormMain& form, WindowShown until)
{
    form.ShowMainWindow();
    return until == WindowShown::Active ? QTest::qWaitForWindowActive(&form)
                                        : QTest::qWaitForWindowExposed(&form);
}

bool waitForList(TFormMain& form)
{
    if (QTest::qWaitFor([&] { return form.noteListFill()->isComplete(); }, 10000))
        return true;
    qWarning("the note list did not become complete");
    return false;
}

bool waitUntilListSettled(TFormMain& form)
{
    const bool idle =
        QTest::qWaitFor([&] { return form.noteListFill()->worker().isIdle(); }, 10000);
    // What the worker posted before it fell idle runs now.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    if (!idle)
        qWarning("the note list's worker did not fall idle");
    return idle;
}

bool typeSearch(TFormMain& form, const QString& text)
{
    QTest::keyClicks(form.SzukanyCiag, text);
    return waitForList(form);
}
