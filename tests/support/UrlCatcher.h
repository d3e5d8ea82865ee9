#pragma once

// Takes the place of the user's browser while it lives: every http and https URL the program
// asks the desktop to open is recorded here instead.

#include <QList>
#include <QObject>
#include <QUrl>

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher();
    ~UrlCatcher() override;

    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url);
};
