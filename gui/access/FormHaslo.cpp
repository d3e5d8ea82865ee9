#include "gui/access/FormHaslo.h"

#include "core/access/AccessControl.h"
#include "core/access/PasswordRules.h"
#include "gui/platform/AnchorLayout.h"
#include "gui/platform/FixedDialog.h"
#include "gui/platform/PasswordField.h"
#include "gui/platform/PlainMessage.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr QSize kClientSize{237, 136};
const QString kNotSavedMessage = QStringLiteral("The password could not be saved!");

} // namespace

TFormHaslo::TFormHaslo(TDM& dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    AnchorLayout* layout = fixed_dialog::setUp(this, QStringLiteral("FormHaslo"),
                                               QStringLiteral("Quillbox - Password"), kClientSize);
    Haslo = addPasswordField(layout, QStringLiteral("Haslo"), QStringLiteral("Password"),
                             QRect(8, 16, 62, 21), QRect(72, 16, 157, 21));
    Powtorka = addPasswordField(layout, QStringLiteral("Powtorka"), QStringLiteral("Repeat"),
                                QRect(8, 48, 62, 21), QRect(72, 48, 157, 21));
    fixed_dialog::addBevel(layout, QRect(4, 100, kClientSize.width() - 8, 2));
    OK = fixed_dialog::addOkButton(layout, QRect(80, 107, 72, 24));
    Anuluj = fixed_dialog::addCancelButton(layout, QRect(157, 107, 72, 24));
    Zatwierdz = fixed_dialog::addConfirmAction(this);
    Zamknij = fixed_dialog::addCloseAction(this);

    setTabOrder(Haslo, Powtorka);
    setTabOrder(Powtorka, OK);
    setTabOrder(OK, Anuluj);
    Haslo->setFocus();

    connect(Zatwierdz, &QAction::triggered, this, &TFormHaslo::ZatwierdzExecute);
    connect(Zamknij, &QAction::triggered, this, &TFormHaslo::ZamknijExecute);
    connect(OK, &QPushButton::clicked, this, &TFormHaslo::ZatwierdzExecute);
    connect(Anuluj, &QPushButton::clicked, this, &TFormHaslo::ZamknijExecute);

    LoadPassword();
}

void TFormHaslo::LoadPassword()
{
    const QString stored = access_password::LoadPassword(dm_, objectName());
    Haslo->setText(stored);
    Powtorka->setText(stored);
}

bool TFormHaslo::ValidatePassword()
{
    const access_password::PasswordVerdict verdict =
        access_password::ValidatePassword(Haslo->text(), Powtorka->text());
    if (verdict.valid)
        return true;
    showPlainMessage(this, verdict.message);
    if (verdict.focus == access_password::PasswordField::Haslo)
        Haslo->setFocus();
    else if (verdict.focus == access_password::PasswordField::Powtorka)
        Powtorka->setFocus();
    return false;
}

void TFormHaslo::SavePassword()
{
    if (!ValidatePassword())
        return;
    if (!access_password::SavePassword(dm_, Haslo->text())) {
        // Closing now would let the user believe the program is guarded (or no longer is).
        showPlainMessage(this, kNotSavedMessage);
        return;
    }
    accept();
}

void TFormHaslo::ZatwierdzExecute()
{
    if (Anuluj->hasFocus()) {
        ZamknijExecute();
        return;
    }
    SavePassword();
}

void TFormHaslo::ZamknijExecute()
{
    reject();
}
