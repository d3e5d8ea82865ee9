#pragma once

// Records what the data module writes to the log while it lives: its failure reports (the
// warnings of quillbox.db) and, when asked, its statement trace (quillbox.db.sql).

#include <QLoggingCategory>
#include <QStringList>
#include <QtGlobal>

class LogCapture
{
public:
    explicit LogCapture(bool withStatements = false)
    {
        s_self = this;
        if (withStatements)
            QLoggingCategory::setFilterRules(QStringLiteral("quillbox.db.sql.debug=true"));
        previous_ = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(previous_);
        QLoggingCategory::setFilterRules(QString());
        s_self = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList reports;
    QStringList statements;

    // Every line recorded, reports and statements alike.
    QString all() const { return (reports + statements).join(QLatin1Char('\n')); }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (!s_self || !context.category)
            return;
        if (type == QtWarningMsg && qstrcmp(context.category, "quillbox.db") == 0)
            s_self->reports.append(message);
        else if (qstrcmp(context.category, "quillbox.db.sql") == 0)
            s_self->statements.append(message);
    }
    static inline LogCapture* s_self = nullptr;
    QtMessageHandler previous_ = nullptr;
};
