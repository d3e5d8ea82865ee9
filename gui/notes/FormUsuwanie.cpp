#include "gui/notes/FormUsuwanie.h"

#include "core/notes/NeighbourNote.h"
#include "core/storage/DataModule.h"
#include "core/storage/NoteStore.h"
#include "gui/notes/NoteListHost.h"
#include "gui/platform/AnchorLayout.h"
#include "gui/platform/FixedDialog.h"

#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
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
    AnchorLayout* layout = fixed_dialog::setUp(this, QStringLiteral("FormUsuwanie"),
                                               QStringLiteral("Quillbox - Delete"), kClientSize);
    using E = AnchorLayout::Edge;

    auto* shape = new RoundedPanel(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    layout->addWidget(shape, QRect(8, 27, 217, 41));

    auto* question = new QLabel(QStringLiteral("Are you sure you want to delete?"), this);
    Label1 = question;
    question->setObjectName(QStringLiteral("Label1"));
    QFont questionFont = question->font();
    questionFont.setPointSize(10);
    question->setFont(questionFont);
    QPalette questionPalette = question->palette();
    questionPalette.setColor(QPalette::WindowText, Qt::white);
    question->setPalette(questionPalette);
    question->setAttribute(Qt::WA_TranslucentBackground);
    layout->addWidgetAt(question, QPoint(23, 40));

    fixed_dialog::addBevel(layout, QRect(4, 100, 225, 2), E::Left | E::Right | E::Bottom);
    TAK = fixed_dialog::addButton(
        layout, QStringLiteral("TAK"), style()->standardIcon(QStyle::SP_DialogYesButton),
        QStringLiteral("&Yes"), QRect(78, 107, 72, 24), E::Right | E::Bottom);
    TAK->setDefault(true);
    NIE = fixed_dialog::addButton(
        layout, QStringLiteral("NIE"), style()->standardIcon(QStyle::SP_DialogNoButton),
        QStringLiteral("&No"), QRect(155, 107, 72, 24), E::Right | E::Bottom);
    // The button with the focus is the default one, so only the button Enter presses looks
    // like it.
    TAK->setAutoDefault(true);
    NIE->setAutoDefault(true);

    setTabOrder(TAK, NIE);
    TAK->setFocus();

    Zatwierdz = fixed_dialog::addConfirmAction(this);
    Zamknij = fixed_dialog::addCloseAction(this);

    connect(Zatwierdz, &QAction::triggered, this, &TFormUsuwanie::ZatwierdzExecute);
    connect(Zamknij, &QAction::triggered, this, &TFormUsuwanie::ZamknijExecute);
    connect(TAK, &QPushButton::clicked, this, &TFormUsuwanie::ZatwierdzExecute);
    connect(NIE, &QPushButton::clicked, this, &TFormUsuwanie::ZamknijExecute);
}

void TFormUsuwanie::setNoteTitle(const QString& title)
{
    const QString description = QStringLiteral("Note: ") + title;
    Label1->setAccessibleDescription(description);
    setAccessibleDescription(description);
}

void TFormUsuwanie::ZatwierdzExecute()
{
    if (NIE->hasFocus()) {
        ZamknijExecute();
        return;
    }
    host_.setCurrentNoteId(FindNeighbourNote(host_.listedNoteIds(), host_.currentNoteId()));
    DeleteNote(NoteId);
    // The list goes on showing what the search box asks for: the search again when it holds
    // text (the deleted note may have been the last match), otherwise the full list.
    host_.RefreshNotes();
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
        host_.noteChangeCommitted();
    } catch (const fb::Error& e) {
        dm_.ReportDbError(QStringLiteral("Can't delete note!"), objectName(), e.text());
    }
}
