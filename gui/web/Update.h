#pragma once

// TfUpdate: the new-version notice. A light-yellow card with rounded corners that floats,
// frameless and on top, just inside the bottom-right corner of the desktop's work area and
// fades in from faint to almost opaque. "Download now..." opens the product web site and
// closes the notice; "x" closes it. Closing destroys it.

#include <QUrl>
#include <QWidget>
#include <chrono>

class ClickLabel;
class QLabel;
class QTimer;

class TfUpdate : public QWidget
{
    Q_OBJECT
public:
    static constexpr QSize kSize{275, 81};
    static constexpr int kInitialAlpha = 50;
    static constexpr int kAlphaStep = 10;
    static constexpr int kFinalAlpha = 250;
    static constexpr std::chrono::milliseconds kFadeInterval{100};
    // Gap between the card's window and the work area's right and bottom edges.
    static constexpr int kMargin = 5;

    TfUpdate(QUrl productSite, QWidget* owner = nullptr);

    // The window's alpha value, 0 to 255.
    int alpha() const { return alpha_; }
    // Where the notice stands in a work area.
    static QPoint placement(const QRect& workArea);

    void Timer1Timer();
    void lbGetNewVersionClick();
    void Label2Click();

    QLabel* Label1 = nullptr;
    ClickLabel* lbGetNewVersion = nullptr;
    ClickLabel* Label2 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setAlpha(int alpha);

    QUrl productSite_;
    int alpha_ = kInitialAlpha;
};
