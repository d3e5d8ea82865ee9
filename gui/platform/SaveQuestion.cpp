#include "gui/platform/SaveQuestion.h"

#include <QMessageBox>

SaveAnswer askToSaveChanges(QWidget* parent)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quillbox"),
                    QStringLiteral("Save the changes to this note?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("SaveQuestion"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    // Modal to its window only, like the plain messages.
    if (parent)
        box.setWindowModality(Qt::WindowModal);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return SaveAnswer::Yes;
    case QMessageBox::No:
        return SaveAnswer::No;
    default:
        return SaveAnswer::Cancel;
    }
}
