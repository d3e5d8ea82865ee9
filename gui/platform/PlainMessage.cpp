#include "gui/platform/PlainMessage.h"

#include <QApplication>
#include <QMessageBox>

void showPlainMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("PlainMessage"));
    box.exec();
}
