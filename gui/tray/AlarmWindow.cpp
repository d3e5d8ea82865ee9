#include "gui/tray/AlarmWindow.h"

#include "gui/platform/Icons.h"
#include "gui/platform/Look.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kPictureSize = 48;
constexpr int kTextWidth = 320;

} // namespace

AlarmWindow::AlarmWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AlarmWindow"));
    look::applyWindowLook(this);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("AlarmPicture"));
    picture->setPixmap(QPixmap::fromImage(icons::attentionImage(kPictureSize)));
    picture->setAccessibleName(QStringLiteral("Alarm"));
    picture->setAlignment(Qt::AlignTop);

    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("AlarmText"));
    // Titles are shown as typed, never as markup.
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setMinimumWidth(kTextWidth);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    open_ = new QPushButton(QStringLiteral("Open"), this);
    open_->setObjectName(QStringLiteral("AlarmOpen"));
    open_->setDefault(true);
    connect(open_, &QPushButton::clicked, this, &AlarmWindow::open);

    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addWidget(text_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(open_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addLayout(buttons);
    open_->setFocus();
}

void AlarmWindow::showAlarm(const QString& title, const QString& text)
{
    setWindowTitle(title);
    // The balloon's lines end in CR+LF; a label breaks lines at LF alone.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (lines.endsWith(QLatin1Char('\n')))
        lines.chop(1);
    text_->setText(lines);
    adjustSize();
    // Not activated: an alarm that takes the keyboard would take the Enter the user was
    // typing elsewhere. The window manager gives a newly shown window the focus by its rules.
    show();
    raise();
}

void AlarmWindow::open()
{
    close();
    emit opened();
}

void AlarmWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        open();
        return;
    case Qt::Key_Escape:
        close();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void AlarmWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        open();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}
