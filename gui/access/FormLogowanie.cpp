#include "gui/access/FormLogowanie.h"

#include "core/access/AccessControl.h"
#include "core/storage/DataModule.h"
#include "gui/platform/AnchorLayout.h"
#include "gui/platform/FixedDialog.h"
#include "gui/platform/PasswordField.h"
#include "gui/platform/PlainMessage.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr QSize kClientSize{237, 114};

} // namespace

TFormLogowanie::TFormLogowanie(TDM& dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    AnchorLayout* layout = fixed_dialog::setUp(this, QStringLiteral("FormLogowanie"),
                                               QStringLiteral("Quillbox - Login"), kClientSize);
    OK = fixed_dialog::addOkButton(layout, QRect(80, 85, 72, 24));
    Anuluj = fixed_dialog::addCancelButton(layout, QRect(157, 85, 72, 24));
    Haslo = addPasswordField(layout, QStringLiteral("Haslo"), QStringLiteral("Password"),
                             QRect(8, 24, 62, 21), QRect(72, 24, 157, 21));
    fixed_dialog::addBevel(layout, QRect(4, 78, kClientSize.width() - 8, 2));
    Zatwierdz = fixed_dialog::addConfirmAction(this);
    Zamknij = fixed_dialog::addCloseAction(this);

    setTabOrder(OK, Anuluj);
    setTabOrder(Anuluj, Haslo);

    connect(Zatwierdz, &QAction::triggered, this, &TFormLogowanie::ZatwierdzExecute);
    connect(Zamknij, &QAction::triggered, this, &TFormLogowanie::ZamknijExecute);
    connect(OK, &QPushButton::clicked, this, &TFormLogowanie::ZatwierdzExecute);
    connect(Anuluj, &QPushButton::clicked, this, &TFormLogowanie::ZamknijExecute);
}

void TFormLogowanie::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Haslo->setFocus();
}

bool TFormLogowanie::CheckPassword(const QString& entry)
{
    return access_password::CheckPassword(dm_, entry, objectName());
}

void TFormLogowanie::ZatwierdzExecute()
{
    if (CheckPassword(Haslo->text())) {
        dm_.AccessGranted = true;
        accept();
        return;
    }
    dm_.AccessGranted = false;
    showPlainMessage(this, QStringLiteral("Wrong password!"));
}

void TFormLogowanie::ZamknijExecute()
{
    reject();
}

bool runLoginGate(TDM& dm)
{
    return access_password::CheckAccess(dm, [&dm] {
        TFormLogowanie window(dm);
        window.exec();
    });
}
