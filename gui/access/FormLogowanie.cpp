#include "gui/access/FormLogowanie.h"

#include "core/access/AccessControl.h"
#include "core/storage/DataModule.h"
#include "gui/access/PasswordWindow.h"
#include "gui/platform/AnchorLayout.h"
#include "gui/platform/PlainMessage.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr QSize kClientSize{237, 114};

} // namespace

TFormLogowanie::TFormLogowanie(TDM& dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    using namespace password_window;
    setUpDialog(this, QStringLiteral("FormLogowanie"), QStringLiteral("Quillbox - Login"),
                kClientSize);
    auto* layout = new AnchorLayout(this, kClientSize);

    OK = addOkButton(layout, this, QRect(80, 85, 72, 24));
    Anuluj = addCancelButton(layout, this, QRect(157, 85, 72, 24));
    Haslo = addPasswordField(layout, this, QStringLiteral("Haslo"), QStringLiteral("Password"),
                             QRect(8, 24, 62, 21), QRect(72, 24, 157, 21));
    addBevel(layout, this, 78, kClientSize.width());
    Zatwierdz = addConfirmAction(this);
    Zamknij = addCloseAction(this);

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
