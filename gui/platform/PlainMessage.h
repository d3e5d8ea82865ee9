#pragma once

class QString;
class QWidget;

// A plain modal message: the program's title, the text and an OK button, no icon.
void showPlainMessage(QWidget* parent, const QString& text);
