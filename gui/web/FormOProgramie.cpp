#include "gui/web/FormOProgramie.h"

#include "core/list/NoteImage.h"
#include "gui/platform/AnchorLayout.h"
#include "gui/platform/FixedDialog.h"
#include "gui/platform/Icons.h"
#include "gui/web/LinkButton.h"

#include <QAction>
#include <QDesktopServices>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// A white box with a silver outline, framing the legend and the memo.
QFrame* whiteBox(QWidget* parent, const char* name)
{
    auto* box = new QFrame(parent);
    box->setObjectName(QLatin1String(name));
    box->setStyleSheet(QStringLiteral("QFrame { background: white; border: 1px solid silver; }"));
    return box;
}

// One of the list pictures; shows says what it shows, for a screen reader.
QLabel* picture(QWidget* parent, const char* name, int image, const QString& shows)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setPixmap(icons::noteImage(image));
    label->setAccessibleName(shows);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QLabel* text(QWidget* parent, const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

QStringList TFormOProgramie::memoLines(const QString& siteHost)
{
    // Broken by hand to fit the box: at most 30 characters a line.
    return {
        QStringLiteral("Quillbox"),
        QString(),
        QStringLiteral("You may use this program free"),
        QStringLiteral("of charge, at home and at"),
        QStringLiteral("work, and give unchanged"),
        QStringLiteral("copies of it to others, as"),
        QStringLiteral("long as no fee is asked for"),
        QStringLiteral("them and this notice stays"),
        QStringLiteral("with every copy you pass"),
        QStringLiteral("on."),
        QString(),
        QStringLiteral("The program comes as it is,"),
        QStringLiteral("without any warranty; its"),
        QStringLiteral("authors answer for no loss."),
        QString(),
        QStringLiteral("Changing, decompiling or"),
        QStringLiteral("repackaging it is forbidden."),
        QString(),
        siteHost,
        QString(),
    };
}

TFormOProgramie::TFormOProgramie(QUrl productSite, QWidget* parent)
    : QDialog(parent), productSite_(std::move(productSite))
{
    AnchorLayout* layout = fixed_dialog::setUp(this, QStringLiteral("FormOProgramie"),
                                               QStringLiteral("Quillbox - About"), kClientSize);
    using E = AnchorLayout::Edge;

    // In the order of the form: later widgets lie on top of earlier ones.
    Label1 = new LinkButton(productSite_.host(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAccessibleDescription(QStringLiteral("Opens the product web site in the browser"));
    QFont linkFont = Label1->font();
    linkFont.setPointSize(10);
    Label1->setFont(linkFont);
    // Texts grow to their size where the design is too small: it was measured in Tahoma, and
    // the face standing in for it may be wider or taller. They keep their top-left corner.
    layout->addWidgetFitted(Label1, QRect(165, 133, 120, 16), E::Left | E::Bottom);

    fixed_dialog::addBevel(layout, QRect(0, 158, 457, 2));

    layout->addWidget(whiteBox(this, "ShapeRamkaNaLogo"), QRect(239, 20, 202, 103));
    layout->addWidget(whiteBox(this, "Shape1"), QRect(13, 20, 223, 103));

    QLabel* legend = text(this, "Label2", QStringLiteral("Legend:"));
    QFont bold = legend->font();
    bold.setBold(true);
    legend->setFont(bold);
    layout->addWidgetFitted(legend, QRect(24, 24, 44, 13));
    const struct
    {
        const char* name;
        QString caption;
        QRect design;
    } entries[] = {
        {"Label3", QStringLiteral("- standard note"), QRect(60, 46, 75, 13)},
        {"Label4", QStringLiteral("- note with planned alarm"), QRect(60, 73, 122, 13)},
        {"Label5", QStringLiteral("- running alarm"), QRect(60, 100, 72, 13)},
    };
    for (const auto& entry : entries) {
        QLabel* label = text(this, entry.name, entry.caption);
        layout->addWidgetFitted(label, entry.design);
    }

    I3 = picture(this, "I3", note_image::RunningAlarmRays, QStringLiteral("Running alarm sign"));
    layout->addWidget(I3, QRect(32, 95, 17, 18));
    I2 = picture(this, "I2", note_image::PlannedAlarm, QStringLiteral("Note with alarm sign"));
    layout->addWidget(I2, QRect(32, 68, 17, 18));
    I1 = picture(this, "I1", note_image::StandardNote, QStringLiteral("Sticky note"));
    layout->addWidget(I1, QRect(32, 41, 17, 18));
    I33 = picture(this, "I33", note_image::RunningAlarm, QStringLiteral("Running alarm sign"));
    I33->hide();
    layout->addWidget(I33, QRect(32, 95, 17, 18));

    MemoInfo = new QPlainTextEdit(this);
    MemoInfo->setObjectName(QStringLiteral("MemoInfo"));
    MemoInfo->setReadOnly(true);
    MemoInfo->setFrameShape(QFrame::NoFrame);
    MemoInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemoInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette memoPalette = MemoInfo->palette();
    memoPalette.setColor(QPalette::Base, Qt::white);
    MemoInfo->setPalette(memoPalette);
    MemoInfo->setPlainText(memoLines(productSite_.host()).join(QLatin1Char('\n')));
    layout->addWidget(MemoInfo, QRect(241, 21, 199, 100));

    OK = fixed_dialog::addButton(layout, QStringLiteral("OK"), QIcon(), QStringLiteral("OK"),
                                 QRect(185, 166, 75, 25));
    OK->setAutoDefault(false);
    // The link is reached from the memo with Tab, before OK.
    setTabOrder(MemoInfo, Label1);
    setTabOrder(Label1, OK);
    MemoInfo->setFocus();

    // No confirmation here: Enter closes the window as Esc does.
    Zamknij = fixed_dialog::addCloseAction(
        this, QStringLiteral("Zamknij"),
        {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kBlinkInterval);

    connect(Label1, &LinkButton::clicked, this, &TFormOProgramie::Label1Click);
    connect(OK, &QPushButton::clicked, Zamknij, &QAction::trigger);
    connect(Zamknij, &QAction::triggered, this, &TFormOProgramie::ZamknijExecute);
    connect(Timer1, &QTimer::timeout, this, &TFormOProgramie::Timer1Timer);
    Timer1->start();
}

void TFormOProgramie::Label1Click()
{
    // Whether a browser opened is not examined; the window stays open.
    QDesktopServices::openUrl(productSite_);
}

void TFormOProgramie::Timer1Timer()
{
    // Exactly one of the two phases shows at any time.
    const bool raysShown = !I3->isHidden();
    I3->setVisible(!raysShown);
    I33->setVisible(raysShown);
}

void TFormOProgramie::ZamknijExecute()
{
    reject();
}
