#include "support/ModalWatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>

ModalWatcher::ModalWatcher(std::function<void(QWidget*)> handler) : handler_(std::move(handler))
{
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &ModalWatcher::poll);
    timer_.start();
}

void ModalWatcher::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
        handled_ = nullptr;
        return;
    }
    if (modal == handled_)
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        messages << box->text();
        handled_ = box;
        if (QAbstractButton* button =
                answer ? box->button(static_cast<QMessageBox::StandardButton>(answer)) : nullptr)
            button->click();
        else
            box->accept();
        return;
    }
    handled_ = modal;
    if (handler_)
        handler_(modal);
    else if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
}
