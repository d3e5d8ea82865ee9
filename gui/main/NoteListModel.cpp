#include "gui/main/NoteListModel.h"

#include "core/list/AlarmStateWords.h"
#include "core/list/NoteImage.h"
#include "gui/platform/Icons.h"

#include <QBrush>

namespace {

enum Column
{
    TitleColumn = 0,
    DateColumn = 1,
};

const QColor kOddRowColour{237, 247, 248};

} // namespace

NoteListModel::NoteListModel(QObject* parent) : QAbstractTableModel(parent)
{
    for (int i = 0; i < int(images_.size()); ++i)
        images_[std::size_t(i)] = QIcon(icons::noteImage(i));
}

void NoteListModel::setRows(NoteRows&& rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void NoteListModel::appendRows(const NoteRows& rows)
{
    if (rows.isEmpty())
        return;
    const int first = int(rows_.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    rows_.append(rows);
    endInsertRows();
}

bool NoteListModel::hasRunningAlarmOnTop() const
{
    if (rows_.isEmpty())
        return false;
    const int image = rows_.image(0);
    return image == note_image::RunningAlarm || image == note_image::RunningAlarmRays;
}

void NoteListModel::blinkRunningAlarms()
{
    qsizetype row = 0;
    for (; row < rows_.size(); ++row) {
        const int image = rows_.image(row);
        if (image == note_image::RunningAlarm)
            rows_.setImage(row, note_image::RunningAlarmRays);
        else if (image == note_image::RunningAlarmRays)
            rows_.setImage(row, note_image::RunningAlarm);
        const int now = rows_.image(row);
        if (now == note_image::StandardNote || now == note_image::PlannedAlarm)
            break;
    }
    // The rows above the one that stopped the walk are the ones switched.
    if (row > 0) {
        emit dataChanged(index(0, TitleColumn), index(int(row - 1), TitleColumn),
                         {Qt::DecorationRole, ImageIndexRole});
    }
}

int NoteListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int NoteListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant NoteListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == TitleColumn ? rows_.title(row) : rows_.dateText(row);
    case Qt::DecorationRole:
        if (index.column() == TitleColumn)
            return images_[std::size_t(rows_.image(row))];
        return {};
    case Qt::BackgroundRole:
        return QBrush(row % 2 == 0 ? QColor(Qt::white) : kOddRowColour);
    // A screen reader hears the alarm state before the title; the picture alone says nothing.
    case Qt::AccessibleTextRole:
        if (index.column() == TitleColumn)
            return alarm_state_words::rowText(rows_.alarmState(row), rows_.title(row));
        return {};
    case Qt::AccessibleDescriptionRole:
        if (index.column() == TitleColumn)
            return alarm_state_words::forState(rows_.alarmState(row));
        return {};
    case NoteIdRole:
        return rows_.id(row);
    case ImageIndexRole:
        return rows_.image(row);
    default:
        return {};
    }
}

QVariant NoteListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == TitleColumn ? QStringLiteral("Title") : QStringLiteral("Date");
}

Qt::ItemFlags NoteListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
