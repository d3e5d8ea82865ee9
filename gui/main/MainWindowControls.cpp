#include "gui/main/MainWindowControls.h"

#include "core/settings/WindowLayout.h"
#include "gui/main/NoteListView.h"
#include "gui/main/SearchListArrows.h"
#include "gui/main/WindowShortcutFilter.h"
#include "gui/platform/AnchorLayout.h"
#include "gui/platform/FontScale.h"
#include "gui/platform/Icons.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolButton>

namespace {

// The client area the positions below were laid out in; the anchors keep the controls at
// their edges as the window is resized.
constexpr QSize kDesignClientSize{292, 535};

} // namespace

void MainWindowControls::setUpControls(QMainWindow* window, QAbstractItemModel* notes)
{
    setUpClientArea(window, notes);
    setUpCommands(window);
}

void MainWindowControls::setUpClientArea(QMainWindow* window, QAbstractItemModel* notes)
{
    auto* client = new QWidget(window);
    // A font larger than designed scales the layout (and OuterGeometryKeeper the window's
    // smallest size with it).
    auto* layout = new AnchorLayout(client, kDesignClientSize, font_scale::factor(window));
    using E = AnchorLayout::Edge;

    LVNotatki = new NoteListView(client);
    LVNotatki->setObjectName(QStringLiteral("LVNotatki"));
    LVNotatki->setAccessibleName(QStringLiteral("Notes"));
    LVNotatki->setModel(notes);
    LVNotatki->setRootIsDecorated(false);
    LVNotatki->setSelectionMode(QAbstractItemView::SingleSelection);
    LVNotatki->setSelectionBehavior(QAbstractItemView::SelectRows);
    LVNotatki->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LVNotatki->setUniformRowHeights(true);
    LVNotatki->header()->setSectionsClickable(false);
    LVNotatki->header()->setSectionsMovable(false);
    LVNotatki->header()->setStretchLastSection(false);
    LVNotatki->header()->setMinimumSectionSize(window_layout::kMinimumColumnWidth);
    layout->addWidget(LVNotatki, QRect(7, 6, 279, 492), E::Left | E::Top | E::Right | E::Bottom);

    SBDodaj = new QToolButton(client);
    SBDodaj->setObjectName(QStringLiteral("SBDodaj"));
    SBDodaj->setAutoRaise(true);
    SBDodaj->setIcon(icons::newNote());
    SBDodaj->setToolTip(QStringLiteral("New note"));
    SBDodaj->setAccessibleName(SBDodaj->toolTip());
    SBDodaj->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(SBDodaj, QRect(6, 504, 25, 25), E::Left | E::Bottom);

    auto* trashDisabled = new QLabel(client);
    trashDisabled->setObjectName(QStringLiteral("ImageKoszDisabled"));
    trashDisabled->setPixmap(icons::trashDisabled());
    trashDisabled->setAlignment(Qt::AlignCenter);
    layout->addWidget(trashDisabled, QRect(34, 505, 25, 24), E::Left | E::Bottom);

    SBUsun = new QToolButton(client);
    SBUsun->setObjectName(QStringLiteral("SBUsun"));
    SBUsun->setAutoRaise(true);
    SBUsun->setIcon(icons::trash());
    SBUsun->setToolTip(QStringLiteral("Delete"));
    SBUsun->setAccessibleName(SBUsun->toolTip());
    SBUsun->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(SBUsun, QRect(34, 504, 25, 25), E::Left | E::Bottom);

    auto* magnifier = new QLabel(client);
    magnifier->setObjectName(QStringLiteral("Image1"));
    magnifier->setPixmap(icons::magnifier());
    magnifier->setAccessibleName(QStringLiteral("Magnifier"));
    layout->addWidget(magnifier, QRect(81, 509, 13, 16), E::Left | E::Bottom);

    auto* searchLabel = new QLabel(QStringLiteral("Search:"), client);
    searchLabel->setObjectName(QStringLiteral("Label2"));
    QFont bold = searchLabel->font();
    bold.setBold(true);
    searchLabel->setFont(bold);
    layout->addWidgetAt(searchLabel, QPoint(99, 511), E::Left | E::Bottom);

    SzukanyCiag = new QLineEdit(client);
    SzukanyCiag->setObjectName(QStringLiteral("SzukanyCiag"));
    SzukanyCiag->setMaxLength(50);
    // The label's text ends in a colon, which a screen reader would read out.
    searchLabel->setBuddy(SzukanyCiag);
    SzukanyCiag->setAccessibleName(QStringLiteral("Search"));
    layout->addWidget(SzukanyCiag, QRect(144, 508, 142, 21), E::Left | E::Bottom);
    // A partly read list must not pass for the whole one.
    ListFillBusy = SzukanyCiag->addAction(window->style()->standardIcon(QStyle::SP_BrowserReload),
                                          QLineEdit::TrailingPosition);
    ListFillBusy->setObjectName(QStringLiteral("ListFillBusy"));
    ListFillBusy->setToolTip(QStringLiteral("Reading notes..."));
    ListFillBusy->setVisible(false);

    window->setCentralWidget(client);
    QWidget::setTabOrder(SzukanyCiag, LVNotatki);
    new SearchListArrows(SzukanyCiag, LVNotatki, window);
    SzukanyCiag->setFocus();
}

void MainWindowControls::setUpCommands(QMainWindow* window)
{
    Plik = window->menuBar()->addMenu(QStringLiteral("File"));
    Plik->setObjectName(QStringLiteral("Plik"));

    auto addItem = [](QMenu* menu, const char* name, const QString& caption,
                      const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        return action;
    };
    MMNowaNotatka = addItem(Plik, "MMNowaNotatka", QStringLiteral("New note"), Qt::Key_Insert);
    MMUsun = addItem(Plik, "MMUsun", QStringLiteral("Delete"), Qt::Key_Delete);
    MMPodgladEdycja = addItem(Plik, "MMPodgladEdycja", QStringLiteral("View / Edit"), Qt::Key_F2);
    Plik->addSeparator()->setObjectName(QStringLiteral("N3"));
    MMHaslo = addItem(Plik, "MMHaslo", QStringLiteral("Configure password"));
    Plik->addSeparator()->setObjectName(QStringLiteral("N2"));
    MMZakoncz = addItem(Plik, "MMZakoncz", QStringLiteral("Close"));

    QMenu* info = window->menuBar()->addMenu(QStringLiteral("Info"));
    info->setObjectName(QStringLiteral("Info"));
    OProgramie = addItem(info, "OProgramie", QStringLiteral("About..."));

    NotatkaPokazEdytuj = new QAction(QStringLiteral("View / Edit"), window);
    NotatkaPokazEdytuj->setObjectName(QStringLiteral("NotatkaPokazEdytuj"));
    NotatkaPokazEdytuj->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    NotatkaPokazEdytuj->setShortcutContext(Qt::WindowShortcut);
    window->addAction(NotatkaPokazEdytuj);
    Ukryj = new QAction(QStringLiteral("Hide"), window);
    Ukryj->setObjectName(QStringLiteral("Ukryj"));
    Ukryj->setShortcut(Qt::Key_Escape);
    Ukryj->setShortcutContext(Qt::WindowShortcut);
    window->addAction(Ukryj);

    auto* filter = new WindowShortcutFilter(
        {QKeySequence(Qt::Key_Insert), QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_F2),
         QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Escape)},
        window);
    filter->watch(SzukanyCiag);
    filter->watch(LVNotatki);
}
