#include "gui/web/BrowserEngine.h"
#include "gui/web/PublicityBig.h"
#include "support/TestHttpServer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

namespace {

// The embedded browser shares its graphics context with the application, which must be asked
// for before the application object exists.
const bool kSharedContexts = [] {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    return true;
}();

const QString kPage = QStringLiteral("/app/Quillbox/publicity2/");

QByteArray html(const QByteArray& body, const QByteArray& head = {})
{
    return "<!DOCTYPE html><html><head>" + head + "</head><body>" + body + "</body></html>";
}

// A page larger than the browser, with scroll bars and a border of its own.
const QByteArray kStyledPage =
    html("<div style='width:2000px;height:2000px'>Offer</div>",
         "<style>body { overflow: scroll; border: 5px solid red; }</style>");

// Counts the mouse presses and releases that reach a widget, by button.
class MouseCounter : public QObject
{
public:
    int rightPresses = 0;
    int rightReleases = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                ++rightPresses;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                ++rightReleases;
        }
        return false;
    }
};

QVariant evaluate(QWebEnginePage* page, const QString& script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    // Well within the test function's time limit, so a page that stopped answering fails the
    // check that asked, with its name, rather than the whole run.
    if (!QTest::qWaitFor([&] { return done; }, 20000))
        return QStringLiteral("<no answer>");
    return result;
}

} // namespace

// The publicity window on a real browser engine against a local HTTP server: it shows the page
// styled, closes itself on pages and frames that are not there, and keeps right presses from
// the page.
class TestPublicity : public QObject
{
    Q_OBJECT

    web::GetLimits limits() const
    {
        web::GetLimits l;
        l.timeLimit = std::chrono::seconds(20);
        return l;
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_UNUSED(kSharedContexts);
        if (!browser_engine::canStart(browser_engine::currentConditions()))
            QSKIP("The browser engine cannot start here (root without its sandbox switched "
                  "off, or its helper program missing)");
    }

    void showsThePageStyled()
    {
        TestHttpServer server;
        server.answer(kPage, 200,
                      kStyledPage.left(kStyledPage.indexOf("</body>")) +
                          "<iframe src='/frame'></iframe></body></html>");
        server.answer(QStringLiteral("/frame"), 200, html("frame"));
        QPointer<TReklama> window = new TReklama(server.url(kPage), limits());
        QSignalSpy styled(window.data(), &TReklama::documentStyled);
        QSignalSpy probed(window.data(), &TReklama::probed);
        window->show();

        QCOMPARE(window->windowTitle(), QStringLiteral("Publicity"));
        QCOMPARE(window->size(), QSize(519, 460));
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        // Centred up to the width of the window frame.
        const QPoint offCentre = window->geometry().center() -
                                 QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 8,
                 qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
        QCOMPARE(window->wbPublicityBig->geometry(), QRect(8, 8, 503, 393));
        QCOMPARE(window->bClose->text(), QStringLiteral("Close"));

        QVERIFY(styled.wait(60000));
        QCOMPARE(evaluate(window->wbPublicityBig->page(),
                          QStringLiteral("var s = getComputedStyle(document.body);"
                                         "[s.overflowX, s.overflowY, s.borderTopStyle].join()"))
                     .toString(),
                 QStringLiteral("hidden,hidden,none"));
        // The page and its frame were both probed and both answered 200: the window stays.
        QTRY_VERIFY_WITH_TIMEOUT(probed.size() >= 2, 60000);
        QList<QUrl> urls;
        for (const QList<QVariant>& probe : probed) {
            urls << probe.at(0).toUrl();
            QCOMPARE(probe.at(1).toInt(), 200);
        }
        QVERIFY(urls.contains(server.url(kPage)));
        QVERIFY(urls.contains(server.url(QStringLiteral("/frame"))));
        QVERIFY(!window.isNull());
        QVERIFY(window->isVisible());

        QTest::mouseClick(window->bClose, Qt::LeftButton);
        QTRY_VERIFY(window.isNull());
    }

    void closesItself_data()
    {
        QTest::addColumn<int>("pageStatus");
        QTest::addColumn<QByteArray>("pageBody");
        const auto row = [](const char* name, int pageStatus, const QByteArray& pageBody) {
            QTest::newRow(name) << pageStatus << pageBody;
        };
        row("page 404", 404, html("missing"));
        row("page 500", 500, html("broken"));
        row("frame answering 500", 200, html("<iframe src='/broken-frame'></iframe>"));
        row("frame that is not HTTP", 200, html("<iframe src='data:text/html,hello'></iframe>"));
        row("link to a missing page", 200,
            html("<a id='go' href='/nowhere'>go</a>"
                 "<script>setTimeout(function(){ document.getElementById('go')"
                 ".click(); }, 0);</script>"));
        row("redirect loop", -1, QByteArray());
    }
    void closesItself()
    {
        QFETCH(int, pageStatus);
        QFETCH(QByteArray, pageBody);
        TestHttpServer server;
        if (pageStatus < 0) {
            server.redirect(kPage, QStringLiteral("/loop"));
            server.redirect(QStringLiteral("/loop"), kPage);
        } else {
            server.answer(kPage, pageStatus, pageBody);
        }
        server.answer(QStringLiteral("/broken-frame"), 500, html("no"));
        QPointer<TReklama> window = new TReklama(server.url(kPage), limits());
        window->show();
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 60000);
    }

    void closesWhenTheServerIsGone()
    {
        QUrl page;
        page.setScheme(QStringLiteral("http"));
        page.setHost(QStringLiteral("127.0.0.1"));
        page.setPort(TestHttpServer::refusedPort());
        page.setPath(kPage);
        QPointer<TReklama> window = new TReklama(page, limits());
        window->show();
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 60000);
    }

    void rightPressesNeverReachThePage()
    {
        TestHttpServer server;
        server.answer(kPage, 200,
                      html("<div style='width:100%;height:300px'>x</div>"
                           "<script>window.lefts = 0; window.rights = 0; window.menus = 0;"
                           "document.addEventListener('mousedown', function(e) {"
                           "  if (e.button === 0) lefts++; if (e.button === 2) rights++; });"
                           "document.addEventListener('contextmenu', function() { menus++; });"
                           "</script>"));
        TReklama window(server.url(kPage), limits());
        QSignalSpy styled(&window, &TReklama::documentStyled);
        // Said in the log, since the page then stops answering the checks below.
        connect(window.wbPublicityBig->page(), &QWebEnginePage::renderProcessTerminated, this,
                [](QWebEnginePage::RenderProcessTerminationStatus status, int code) {
                    qWarning("the page's render process ended: status %d, exit code %d",
                             int(status), code);
                });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(styled.wait(60000));

        QWidget* surface = window.wbPublicityBig->focusProxy();
        QVERIFY(surface);
        QVERIFY(window.wbPublicityBig->isAncestorOf(surface));
        MouseCounter reached;
        surface->installEventFilter(&reached);
        MouseCounter onButton;
        window.bClose->installEventFilter(&onButton);

        const QPoint inside(100, 100);
        QTest::mousePress(surface, Qt::RightButton, {}, inside);
        QTest::mouseRelease(surface, Qt::RightButton, {}, inside);
        QTest::mouseDClick(surface, Qt::RightButton, {}, inside);
        // The left button does reach the page, after the right presses that would have.
        QTest::mouseClick(surface, Qt::LeftButton, {}, inside);
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(window.wbPublicityBig->page(), QStringLiteral("lefts")).toInt(), 1, 60000);
        QCOMPARE(evaluate(window.wbPublicityBig->page(), QStringLiteral("rights")).toInt(), 0);
        QCOMPARE(evaluate(window.wbPublicityBig->page(), QStringLiteral("menus")).toInt(), 0);
        QCOMPARE(reached.rightPresses, 0);
        // Releases pass unchanged.
        QVERIFY(reached.rightReleases >= 1);

        // Outside the browser the right button works as usual.
        QTest::mouseClick(window.bClose, Qt::RightButton);
        QCOMPARE(onButton.rightPresses, 1);
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(TestPublicity)
#include "TestPublicity.moc"
