#include "gui/web/PublicityBig.h"

#include "gui/platform/AnchorLayout.h"
#include "gui/platform/Look.h"

#include <QApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// Scroll bars and the page border off, on the top-level document's body when it has one.
const QString kStyleBody = QStringLiteral("(function() {"
                                          "  var body = document.body;"
                                          "  if (!body || !body.style) return false;"
                                          "  body.style.overflowX = 'hidden';"
                                          "  body.style.overflowY = 'hidden';"
                                          "  body.style.borderStyle = 'none';"
                                          "  return true;"
                                          "})()");

} // namespace

bool PublicityPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame)
{
    Q_EMIT navigationRequested(url, isMainFrame);
    return true;
}

TReklama::TReklama(QUrl page, web::GetLimits probeLimits, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint |
                         Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      page_(std::move(page)), probeLimits_(probeLimits)
{
    setObjectName(QStringLiteral("Reklama"));
    setWindowTitle(QStringLiteral("Publicity"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kClientSize);
    look::applyWindowLook(this);

    // A profile of its own that keeps nothing on disk: the publicity page leaves no cookies or
    // cache behind.
    profile_ = new QWebEngineProfile(this);
    network_ = new QNetworkAccessManager(this);
    network_->setCache(nullptr);
    probes_ = new QObject(this);

    auto* layout = new AnchorLayout(this, kClientSize);
    using E = AnchorLayout::Edge;

    wbPublicityBig = new QWebEngineView(this);
    wbPublicityBig->setObjectName(QStringLiteral("wbPublicityBig"));
    wbPublicityBig->setFocusPolicy(Qt::ClickFocus);
    wbPublicityBig->setContextMenuPolicy(Qt::NoContextMenu);
    auto* browserPage = new PublicityPage(profile_, wbPublicityBig);
    wbPublicityBig->setPage(browserPage);
    layout->addWidget(wbPublicityBig, QRect(8, 8, 503, 393));

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    layout->addWidget(bevel, QRect(8, 416, 503, 2), E::Left | E::Right | E::Bottom);

    bClose = new QPushButton(QStringLiteral("Close"), this);
    bClose->setObjectName(QStringLiteral("bClose"));
    layout->addWidget(bClose, QRect(225, 427, 75, 25));

    connect(browserPage, &PublicityPage::navigationRequested, this,
            [this](const QUrl& url, bool) { wbPublicityBigBeforeNavigate2(url); });
    connect(wbPublicityBig, &QWebEngineView::loadFinished, this,
            &TReklama::wbPublicityBigDocumentComplete);
    // A helper process that dies leaves nothing to show.
    connect(browserPage, &QWebEnginePage::renderProcessTerminated, this, [this] { close(); });
    connect(bClose, &QPushButton::clicked, this, &TReklama::bCloseClick);

    qApp->installEventFilter(this);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), kClientSize);
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

TReklama::~TReklama()
{
    qApp->removeEventFilter(this);
    // No probe may answer to a window on its way out.
    delete probes_;
    // The page must go before its profile.
    delete wbPublicityBig;
    wbPublicityBig = nullptr;
}

void TReklama::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (navigated_)
        return;
    navigated_ = true;
    wbPublicityBig->hide();
    wbPublicityBig->setUrl(page_);
    wbPublicityBig->show();
}

void TReklama::wbPublicityBigBeforeNavigate2(const QUrl& url)
{
    // The navigation goes on meanwhile; the probe is a request of its own for the same URL, and
    // its answer decides whether the window stays.
    QPointer<TReklama> self(this);
    web::boundedGet(*network_, url, probeLimits_, web::GetMode::StatusOnly, probes_,
                    [self, url](const web::GetResult& result) {
                        if (!self)
                            return;
                        Q_EMIT self->probed(url, result.status);
                        if (result.status != 200)
                            self->close();
                    });
}

void TReklama::wbPublicityBigDocumentComplete(bool ok)
{
    if (!ok) {
        close();
        return;
    }
    QPointer<TReklama> self(this);
    wbPublicityBig->page()->runJavaScript(kStyleBody, [self](const QVariant&) {
        if (self)
            Q_EMIT self->documentStyled();
    });
}

void TReklama::bCloseClick()
{
    close();
}

bool TReklama::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return false;
    if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton)
        return false;
    auto* target = qobject_cast<QWidget*>(watched);
    return target && wbPublicityBig &&
           (target == wbPublicityBig || wbPublicityBig->isAncestorOf(target));
}
