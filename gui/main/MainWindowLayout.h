#pragma once

// The main window's layout as the settings keep it: the outer rectangle of the window and the
// widths of the note list's two columns. Read when the window is built, written at quit.

#include <QObject>

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

private:
    TDM& dm_;
    OuterGeometryKeeper& window_;
    QHeaderView& columns_;
};
