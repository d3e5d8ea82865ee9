#pragma once

// The note list as the view sees it: two columns, the title (with the note's image) and the
// creation moment, over the rows of the last fill. A row's note ID and image index are given
// under their own roles; the ID is the only link from a row to its note. A title cell's
// accessible text and description carry the note's alarm state in words.

#include "core/list/NoteListRows.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <array>

class NoteListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Role
    {
        NoteIdRole = Qt::UserRole,
        ImageIndexRole,
    };

    explicit NoteListModel(QObject* parent = nullptr);

    // Replaces every row by those of a new fill (the first rows of it, when it streams in).
    void setRows(NoteRows&& rows);
    // Adds the next rows of a fill below the others, as row insertions.
    void appendRows(const NoteRows& rows);
    // Gives back the spare room left by growing, once a fill is complete.
    void squeeze() { rows_.squeeze(); }
    const NoteRows& rows() const { return rows_; }
    // Whether the top row is a running alarm: only then is there anything to blink.
    bool hasRunningAlarmOnTop() const;

    // Switches images 2 and 3 of the leading run of running-alarm rows. The walk stops at the
    // first row with image 0 or 1, so it costs the same whatever the number of notes below.
    void blinkRunningAlarms();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    NoteRows rows_;
    std::array<QIcon, 4> images_;
};
