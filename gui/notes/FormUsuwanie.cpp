#include "gui/notes/FormUsuwanie.h"

#include "core/notes/NeighbourNote.h"
#include "core/storage/DataModule.h"
#include "core/storage/NoteStore.h"
#include "gui/notes/NoteListHost.h"
#include "gui/platform/AnchorLayout.h"
#include "gui/platform/Look.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {

constexpr QSize kClientSize{233, 136};

// The red rounded panel behind the question.
class RoundedPanel : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(Qt::red));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    }
};

} // namespace

TFormUsuwanie::TFormUsuwanie(TDM& dm, NoteListHost& host, QWidget* parent)
    : QDialog(parent), dm_(dm), host_(host)
{
    setObjectName(QStringLiteral("FormUsuwanie"));
    setWindowTitle(QStringLiteral("Quillbox - Delete"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientSize);
    look::applyWindowLook(this);

    auto* layout = new AnchorLayout(this, kClientSize);
    using E = AnchorLayout::Edge;

    auto* shape = new RoundedPanel(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    layout->addWidget(shape, QRect(8, 27, 217, 41));

    auto* question = new QLabel(QStringLiteral("Are you sure you want to delete?"), this);
    question->setObjectName(QStringLiteral("Label1"));
    QFont questionFont = question->font();
    questionFont.setPointSize(10);
    question->setFont(questionFont);
    QPalette questionPalette = question->palette();
    questionPalette.setColor(QPalette::WindowText, Qt::white);
    question->setPalette(questionPalette);
    question->setAttribute(Qt::WA_TranslucentBackground);
    layout->addWidget(question, QRect(QPoint(23, 40), question->sizeHint()));

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    layout->addWidget(bevel, QRect(4, 100, 225, 2), E::Left | E::Right | E::Bottom);

    TAK = new QPushButton(style()->standardIcon(QStyle::SP_DialogYesButton), QStringLiteral("&Yes"),
                          this);
    TAK->setObjectName(QStringLiteral("TAK"));
    TAK->setDefault(true);
    layout->addWidget(TAK, QRect(78, 107, 72, 24), E::Right | E::Bottom);

    NIE = new QPushButton(style()->standardIcon(QStyle::SP_DialogNoButton), QStringLiteral("&No"),
                          this);
    NIE->setObjectName(QStringLiteral("NIE"));
    // The button with the focus is the default one, so only the button Enter presses looks
    // like it.
    TAK->setAutoDefault(true);
    NIE->setAutoDefault(true);
    layout->addWidget(NIE, QRect(155, 107, 72, 24), E::Right | E::Bottom);

    setTabOrder(TAK, NIE);
    TAK->setFocus();

    Zatwierdz = new QAction(this);
    Zatwierdz->setObjectName(QStringLiteral("Zatwierdz"));
    Zatwierdz->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    Zatwierdz->setShortcutContext(Qt::WindowShortcut);
    addAction(Zatwierdz);
    Zamknij = new QAction(this);
    Zamknij->setObjectName(QStringLiteral("Zamknij"));
    Zamknij->setShortcut(Qt::Key_Escape);
    Zamknij->setShortcutContext(Qt::WindowShortcut);
    addAction(Zamknij);

    connect(Zatwierdz, &QAction::triggered, this, &TFormUsuwanie::ZatwierdzExecute);
    connect(Zamknij, &QAction::triggered, this, &TFormUsuwanie::ZamknijExecute);
    connect(TAK, &QPushButton::clicked, this, &TFormUsuwanie::ZatwierdzExecute);
    connect(NIE, &QPushButton::clicked, this, &TFormUsuwanie::ZamknijExecute);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), kClientSize);
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TFormUsuwanie::ZatwierdzExecute()
{
    if (NIE->hasFocus()) {
        ZamknijExecute();
        return;
    }
    host_.setCurrentNoteId(FindNeighbourNote(host_.listedNoteIds(), host_.currentNoteId()));
    DeleteNote(NoteId);
    host_.LoadNotes();
    accept();
}

void TFormUsuwanie::ZamknijExecute()
{
    reject();
}

void TFormUsuwanie::DeleteNote(qint32 noteId)
{
    try {
        note_store::deleteNote(dm_, noteId);
    } catch (const fb::Error& e) {
        dm_.ReportDbError(QStringLiteral("Can't delete note!"), objectName(), e.text());
    }
}
