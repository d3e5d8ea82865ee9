#pragma once

// TReklama: the publicity window. It shows the publicity page of the maker's web server in an
// embedded browser, centred and on top, keeps the page free of scroll bars and border, keeps
// right-button presses from the page, and closes itself as soon as a page or frame it is asked
// to show is not available: before every navigation a separate request asks the target URL's
// HTTP status, and anything but 200 (or no status at all) closes the window, as does a failed
// load. "Close" and the close box close it; closing destroys it.

#include "core/web/BoundedGet.h"

#include <QUrl>
#include <QWebEnginePage>
#include <QWidget>

class QNetworkAccessManager;
class QPushButton;
class QWebEngineProfile;
class QWebEngineView;

// The page of the publicity browser: tells of every navigation, of the page and of its frames,
// before it starts. It never refuses one.
class PublicityPage : public QWebEnginePage
{
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;

Q_SIGNALS:
    void navigationRequested(const QUrl& url, bool isMainFrame);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
};

class TReklama : public QWidget
{
    Q_OBJECT
public:
    static constexpr QSize kClientSize{519, 460};

    // page: the publicity page; probeLimits: the time limit of each status probe.
    TReklama(QUrl page, web::GetLimits probeLimits, QWidget* owner = nullptr);
    ~TReklama() override;

    // Status probe before a navigation: closes the window unless the target answers 200.
    void wbPublicityBigBeforeNavigate2(const QUrl& url);
    // After a load: the body's styling, or closing on a failed load.
    void wbPublicityBigDocumentComplete(bool ok);
    void bCloseClick();

    QWebEngineView* wbPublicityBig = nullptr;
    QPushButton* bClose = nullptr;

Q_SIGNALS:
    // The body of the loaded page has been styled (or had no body to style).
    void documentStyled();
    // A status probe ended, with the status it got (0 for none).
    void probed(const QUrl& url, int status);

protected:
    void showEvent(QShowEvent* event) override;
    // Right-button presses and double clicks for the browser never reach it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QUrl page_;
    web::GetLimits probeLimits_;
    QWebEngineProfile* profile_ = nullptr;
    QNetworkAccessManager* network_ = nullptr;
    // Parent of the running probes' handlers: deleting it drops them all.
    QObject* probes_ = nullptr;
    bool navigated_ = false;
};
