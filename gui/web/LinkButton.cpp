#include "gui/web/LinkButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

// Room around the text for the focus frame.
constexpr int kFocusMargin = 1;

bool activates(const QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    return (key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::NoModifier;
}

} // namespace

LinkButton::LinkButton(const QString& text, QWidget* parent) : QAbstractButton(parent)
{
    setText(text);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    QPalette linkPalette = palette();
    linkPalette.setColor(QPalette::ButtonText, Qt::blue);
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    setPalette(linkPalette);
}

QSize LinkButton::sizeHint() const
{
    return fontMetrics().size(Qt::TextSingleLine, text()) +
           QSize(2 * kFocusMargin, 2 * kFocusMargin);
}

QSize LinkButton::minimumSizeHint() const
{
    return sizeHint();
}

bool LinkButton::event(QEvent* event)
{
    // Enter belongs to the link while it has the focus, before any window-wide shortcut.
    if (event->type() == QEvent::ShortcutOverride && activates(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QAbstractButton::event(event);
}

void LinkButton::keyPressEvent(QKeyEvent* event)
{
    if (activates(event) && !event->isAutoRepeat()) {
        click();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

QRect LinkButton::textRect() const
{
    const QSize text = fontMetrics().size(Qt::TextSingleLine, this->text());
    QRect rect(QPoint(kFocusMargin, kFocusMargin), text);
    rect.moveTop((height() - text.height()) / 2);
    return rect.intersected(this->rect().adjusted(kFocusMargin, 0, -kFocusMargin, 0));
}

void LinkButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect text = textRect();
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, this->text());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = text.adjusted(-kFocusMargin, -kFocusMargin, kFocusMargin, kFocusMargin);
        option.backgroundColor = palette().color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
