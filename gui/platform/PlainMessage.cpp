#include "gui/platform/PlainMessage.h"

#include <QMessageBox>

void showPlainMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quillbox"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("PlainMessage"));
    // Modal to its window only: the tray icon and its menu stay usable.
    if (parent)
        box.setWindowModality(Qt::WindowModal);
    box.exec();
}
