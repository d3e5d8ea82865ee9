#include "gui/web/Update.h"

#include "gui/web/ClickLabel.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

// The card drawn on the see-through window.
constexpr QRect kShape1{8, 5, 257, 68};
constexpr QColor kCardFill{255, 255, 230};

QFont tahoma10(bool bold = false, bool underline = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(10);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

TfUpdate::TfUpdate(QUrl productSite, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      productSite_(std::move(productSite))
{
    setObjectName(QStringLiteral("fUpdate"));
    setWindowTitle(QStringLiteral("Quillbox - Aktualizacja"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Only the card is painted: everything around it is see-through, as the white colour key of
    // the layered window was.
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kSize);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);

    Label1 = new QLabel(QStringLiteral("New version of Quillbox is available!"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(tahoma10());
    Label1->setWordWrap(true);
    setTextColour(Label1, Qt::red);
    Label1->setGeometry(23, 23, 221, 20);

    lbGetNewVersion = new ClickLabel(QStringLiteral("Download now..."), this);
    lbGetNewVersion->setObjectName(QStringLiteral("lbGetNewVersion"));
    lbGetNewVersion->setFont(tahoma10(true, true));
    setTextColour(lbGetNewVersion, Qt::blue);
    lbGetNewVersion->setCursor(Qt::PointingHandCursor);
    lbGetNewVersion->setGeometry(72, 44, 106, 16);

    Label2 = new ClickLabel(QStringLiteral("x"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(tahoma10(true));
    Label2->setGeometry(249, 8, 7, 16);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kFadeInterval);

    connect(Timer1, &QTimer::timeout, this, &TfUpdate::Timer1Timer);
    connect(lbGetNewVersion, &ClickLabel::clicked, this, &TfUpdate::lbGetNewVersionClick);
    connect(Label2, &ClickLabel::clicked, this, &TfUpdate::Label2Click);
    setAlpha(kInitialAlpha);
}

QPoint TfUpdate::placement(const QRect& workArea)
{
    // Measured from the work area's own right and bottom edges, so a taskbar on the left or at
    // the top does not push the card off its corner.
    return {workArea.x() + workArea.width() - kSize.width() - kMargin,
            workArea.y() + workArea.height() - kSize.height() - kMargin};
}

void TfUpdate::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(placement(screen->availableGeometry()));
    raise();
    activateWindow();
    Timer1->start();
}

void TfUpdate::Timer1Timer()
{
    if (alpha_ >= kFinalAlpha) {
        Timer1->stop();
        return;
    }
    setAlpha(alpha_ + kAlphaStep);
}

void TfUpdate::setAlpha(int alpha)
{
    alpha_ = alpha;
    setWindowOpacity(alpha / 255.0);
}

void TfUpdate::lbGetNewVersionClick()
{
    // Whether a browser opened is not examined: the notice closes either way.
    QDesktopServices::openUrl(productSite_);
    close();
}

void TfUpdate::Label2Click()
{
    close();
}

void TfUpdate::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(kCardFill);
    // A corner ellipse of 17 × 17 pixels.
    painter.drawRoundedRect(QRectF(kShape1).adjusted(0.5, 0.5, -0.5, -0.5), 8.5, 8.5);
}
