#pragma once

// A web address drawn as a link (underlined, blue, no button face) that is a button underneath:
// Tab reaches it, Enter, keypad Enter and Space activate it as a left click does, and a screen
// reader finds a named button with a press action. The window's own Enter shortcut (closing or
// confirming) does not take the key while the link has the focus.

#include <QAbstractButton>

class LinkButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit LinkButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The rectangle of the text: the focus frame surrounds it, not the whole widget.
    QRect textRect() const;
};
