#pragma once

class QWidget;

enum class SaveAnswer
{
    Yes,
    No,
    Cancel
};

// Asks, in a plain message box like the program's others, whether the changes typed into a
// note are saved before the program ends. Closing the box answers Cancel.
SaveAnswer askToSaveChanges(QWidget* parent);
