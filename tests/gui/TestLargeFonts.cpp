#include "gui/access/FormHaslo.h"
#include "gui/access/FormLogowanie.h"
#include "gui/main/FormMain.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/FormUsuwanie.h"
#include "gui/platform/FontScale.h"
#include "gui/platform/Look.h"
#include "gui/web/FormOProgramie.h"
#include "support/NoteFixture.h"
#include "support/NoteListDriver.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

bool showsText(const QWidget* widget)
{
    return qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) || qobject_cast<const QLineEdit*>(widget);
}

// The texts of a window that do not show whole: a label, check box, button, edit field or
// date or time field smaller than it asks to be, reaching out of the widget it lies in, or
// overlapping another of them.
QStringList cutTexts(const QWidget& window)
{
    QStringList cut;
    QList<QWidget*> texts;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        // The parts inside a field (the edit field of a date, the busy sign of the search box)
        // are the field's own.
        if (showsText(widget) && widget->isVisibleTo(&window) && !showsText(widget->parentWidget()))
            texts << widget;
    }
    for (QWidget* widget : texts) {
        const auto* label = qobject_cast<QLabel*>(widget);
        const QSize wanted = widget->sizeHint();
        const bool fits =
            label && label->wordWrap()
                ? widget->heightForWidth(widget->width()) <= widget->height()
                : widget->width() >= wanted.width() && widget->height() >= wanted.height();
        const bool inside = widget->parentWidget()->rect().contains(widget->geometry());
        if (!fits || !inside) {
            QString name = widget->objectName();
            if (const auto* button = qobject_cast<QAbstractButton*>(widget))
                name += QStringLiteral(" \"%1\"").arg(button->text());
            else if (label)
                name += QStringLiteral(" \"%1\"").arg(label->text());
            QDebug(&name) << widget->geometry() << "wants" << wanted << "in"
                          << widget->parentWidget()->rect();
            cut << name;
        }
        for (QWidget* other : texts) {
            // A picture may lie under a button by design (the greyed bin under Delete).
            const auto isPicture = [](const QWidget* w) {
                const auto* picture = qobject_cast<const QLabel*>(w);
                return picture && !picture->pixmap().isNull();
            };
            if (other != widget && !isPicture(widget) && !isPicture(other) &&
                other->parentWidget() == widget->parentWidget() &&
                other->geometry().intersects(widget->geometry()) &&
                texts.indexOf(other) > texts.indexOf(widget))
                cut << widget->objectName() + QStringLiteral(" overlaps ") + other->objectName();
        }
    }
    return cut;
}

} // namespace

// The fixed windows on a desktop whose fonts are drawn at 144 dots per inch without high-DPI
// scaling (QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=144, as a large-print setting does): each
// window grows with its text, and no text of a label, check box, button or date or time field
// is cut, nor does one lie under another. At the designed resolution the windows keep their
// designed pixels; the windows' own suites check those.
class TestLargeFonts : public QObject
{
    Q_OBJECT

    using Build = std::function<std::unique_ptr<QWidget>(EditorFixture&)>;

private Q_SLOTS:
    void initTestCase()
    {
        QWidget probe;
        probe.setFont(QApplication::font());
        QVERIFY2(font_scale::factor(&probe) >= 1.4,
                 "the larger font resolution did not take effect");
    }

    void textsShowWhole_data()
    {
        QTest::addColumn<Build>("build");
        QTest::addColumn<QSize>("designed");
        QTest::newRow("delete confirmation")
            << Build([](EditorFixture& f) -> std::unique_ptr<QWidget> {
                   auto dialog = std::make_unique<TFormUsuwanie>(f.dm(), f.list);
                   return dialog;
               })
            << QSize(233, 136);
        QTest::newRow("note editor") << Build([](EditorFixture& f) -> std::unique_ptr<QWidget> {
            auto editor =
                std::make_unique<TFormNotatka>(f.dm(), f.list, nullptr, &EditorFixture::fixedNow);
            editor->StatusFormatki->setText(QStringLiteral("New note"));
            return editor;
        }) << QSize(392, 273);
        QTest::newRow("note editor, alarm on")
            << Build([](EditorFixture& f) -> std::unique_ptr<QWidget> {
                   auto editor = std::make_unique<TFormNotatka>(f.dm(), f.list, nullptr,
                                                                &EditorFixture::fixedNow);
                   editor->StatusFormatki->setText(QStringLiteral("New note"));
                   editor->cAlarm->setChecked(true);
                   return editor;
               })
            << QSize(392, 273);
        QTest::newRow("password") << Build([](EditorFixture& f) -> std::unique_ptr<QWidget> {
            return std::make_unique<TFormHaslo>(f.dm());
        }) << QSize();
        QTest::newRow("login") << Build([](EditorFixture& f) -> std::unique_ptr<QWidget> {
            return std::make_unique<TFormLogowanie>(f.dm());
        }) << QSize();
        QTest::newRow("main window") << Build([](EditorFixture& f) -> std::unique_ptr<QWidget> {
            auto form = std::make_unique<TFormMain>(f.dm(), quietWindowOptions());
            form->ShowMainWindow();
            return form;
        }) << QSize(300, 350);
        QTest::newRow("about") << Build([](EditorFixture&) -> std::unique_ptr<QWidget> {
            return std::make_unique<TFormOProgramie>(QUrl(QStringLiteral("http://site.example/")));
        }) << QSize(456, 196);
    }
    void textsShowWhole()
    {
        QFETCH(Build, build);
        QFETCH(QSize, designed);
        EditorFixture fixture;
        std::unique_ptr<QWidget> window = build(fixture);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QStringList cut = cutTexts(*window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
        // The window grew with its text.
        if (designed.isValid()) {
            QVERIFY(window->width() >= designed.width() * 1.4);
            QVERIFY(window->height() >= designed.height() * 1.4);
        }
        window->close();
    }
};

int main(int argc, char** argv)
{
    // Before the application object: Qt reads them once, when it starts.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_FONT_DPI", "144");
    QApplication app(argc, argv);
    look::applyApplicationLook();
    TestLargeFonts test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestLargeFonts.moc"
