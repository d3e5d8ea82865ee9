#include "gui/main/MainWindowLayout.h"

#include "core/settings/WindowLayout.h"
#include "core/storage/DataModule.h"
#include "gui/platform/OuterGeometryKeeper.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>

namespace {

const QString kTitleWidthKey = QStringLiteral("TytulSzerokosc");
const QString kDateWidthKey = QStringLiteral("DataSzerokosc");
const QString kWidthKey = QStringLiteral("FormMainWidth");
const QString kHeightKey = QStringLiteral("FormMainHeight");
const QString kTopKey = QStringLiteral("FormMainTop");
const QString kLeftKey = QStringLiteral("FormMainLeft");

} // namespace

MainWindowLayout::MainWindowLayout(TDM& dm, OuterGeometryKeeper& window, QHeaderView& columns,
                                   QObject* parent)
    : QObject(parent), dm_(dm), window_(window), columns_(columns)
{}

QList<std::pair<QString, QString>> MainWindowLayout::windowGeometry() const
{
    const QRect outer = window_.outer();
    return {{kHeightKey, QString::number(outer.height())},
            {kWidthKey, QString::number(outer.width())},
            {kTopKey, QString::number(outer.top())},
            {kLeftKey, QString::number(outer.left())}};
}

QList<std::pair<QString, QString>> MainWindowLayout::columnWidths() const
{
    return {{kTitleWidthKey, QString::number(columns_.sectionSize(0))},
            {kDateWidthKey, QString::number(columns_.sectionSize(1))}};
}

void MainWindowLayout::loadWindowGeometry()
{
    using namespace window_layout;
    const QHash<QString, QString> values =
        dm_.GetSettings({kWidthKey, kHeightKey, kTopKey, kLeftKey});
    StoredGeometry stored;
    stored.width = parseStored(values.value(kWidthKey));
    stored.height = parseStored(values.value(kHeightKey));
    stored.top = parseStored(values.value(kTopKey));
    stored.left = parseStored(values.value(kLeftKey));
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->geometry();
    const QScreen* primary = QGuiApplication::primaryScreen();
    window_.setOuter(
        resolveGeometry(stored, primary ? primary->geometry().size() : QSize(), screens));
}

void MainWindowLayout::loadColumnWidths()
{
    using namespace window_layout;
    const QHash<QString, QString> values = dm_.GetSettings({kTitleWidthKey, kDateWidthKey});
    columns_.resizeSection(
        0, resolveColumnWidth(parseStored(values.value(kTitleWidthKey)), kDefaultTitleWidth));
    columns_.resizeSection(
        1, resolveColumnWidth(parseStored(values.value(kDateWidthKey)), kDefaultDateWidth));
}

void MainWindowLayout::saveWindowGeometry()
{
    dm_.SetSettings(windowGeometry());
}

void MainWindowLayout::saveColumnWidths()
{
    dm_.SetSettings(columnWidths());
}

void MainWindowLayout::saveShownLayout()
{
    if (!window_.hasBeenShown())
        return;
    dm_.SetSettings(windowGeometry() + columnWidths());
}
