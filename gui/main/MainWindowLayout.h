#pragma once

// The main window's layout as the settings keep it: the outer rectangle of the window and the
// widths of the note list's two columns. Read when the window is built, written at quit when
// the window was shown in the run: only then can the user have moved or sized anything.

#include <QList>
#include <QObject>
#include <QString>
#include <utility>

class OuterGeometryKeeper;
class QHeaderView;
class TDM;

class MainWindowLayout : public QObject
{
public:
    // window keeps the window's outer rectangle; columns are the note list's title and date.
    MainWindowLayout(TDM& dm, OuterGeometryKeeper& window, QHeaderView& columns,
                     QObject* parent = nullptr);

    // A missing or unusable value takes its default; a rectangle off every present screen
    // opens at the default position.
    void loadWindowGeometry();
    void loadColumnWidths();
    void saveWindowGeometry();
    void saveColumnWidths();
    // Both, in one transaction, when the window has been shown since it was built; nothing
    // otherwise, so a run spent in the tray leaves the stored layout as it was.
    void saveShownLayout();

private:
    // The keys and values of the window's rectangle and of the column widths.
    QList<std::pair<QString, QString>> windowGeometry() const;
    QList<std::pair<QString, QString>> columnWidths() const;

    TDM& dm_;
    OuterGeometryKeeper& window_;
    QHeaderView& columns_;
};
