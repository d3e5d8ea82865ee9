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

void MainWindowLayout::loadWindowGeometry()
{
    using namespace window_layout;
    StoredGeometry stored;
    stored.width = parseStored(dm_.GetSetting(kWidthKey));
    stored.height = parseStored(dm_.GetSetting(kHeightKey));
    stored.top = parseStored(dm_.GetSetting(kTopKey));
    stored.left = parseStored(dm_.GetSetting(kLeftKey));
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
    columns_.resizeSection(
        0, resolveColumnWidth(parseStored(dm_.GetSetting(kTitleWidthKey)), kDefaultTitleWidth));
    columns_.resizeSection(
        1, resolveColumnWidth(parseStored(dm_.GetSetting(kDateWidthKey)), kDefaultDateWidth));
}

void MainWindowLayout::saveWindowGeometry()
{
    const QRect outer = window_.outer();
    dm_.SetSetting(kHeightKey, QString::number(outer.height()));
    dm_.SetSetting(kWidthKey, QString::number(outer.width()));
    dm_.SetSetting(kTopKey, QString::number(outer.top()));
    dm_.SetSetting(kLeftKey, QString::number(outer.left()));
}

void MainWindowLayout::saveColumnWidths()
{
    dm_.SetSetting(kTitleWidthKey, QString::number(columns_.sectionSize(0)));
    dm_.SetSetting(kDateWidthKey, QString::number(columns_.sectionSize(1)));
}
