#include "BenchDatabase.h"

#include "core/storage/AlarmColumns.h"
#include "core/storage/DataModule.h"
#include "core/storage/SqlText.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <cstdio>

namespace bench {
namespace {

const QStringList kWords = {
    QStringLiteral("meeting"),   QStringLiteral("milk"),         QStringLiteral("invoice"),
    QStringLiteral("report"),    QStringLiteral("call"),         QStringLiteral("dentist"),
    QStringLiteral("project"),   QStringLiteral("budget"),       QStringLiteral("shopping"),
    QStringLiteral("list"),      QStringLiteral("bread"),        QStringLiteral("garden"),
    QStringLiteral("birthday"),  QStringLiteral("present"),      QStringLiteral("train"),
    QStringLiteral("ticket"),    QStringLiteral("holiday"),      QStringLiteral("plan"),
    QStringLiteral("review"),    QStringLiteral("code"),         QStringLiteral("notes"),
    QStringLiteral("doctor"),    QStringLiteral("school"),       QStringLiteral("homework"),
    QStringLiteral("weekend"),   QStringLiteral("car"),          QStringLiteral("service"),
    QStringLiteral("insurance"), QStringLiteral("tax"),          QStringLiteral("return"),
    QStringLiteral("password"),  QStringLiteral("bank"),         QStringLiteral("transfer"),
    QStringLiteral("recipe"),    QStringLiteral("cake"),         QStringLiteral("flowers"),
    QStringLiteral("the"),       QStringLiteral("and"),          QStringLiteral("for"),
    QStringLiteral("with"),      QStringLiteral("tomorrow"),     QStringLiteral("monday"),
    QStringLiteral("friday"),    QStringLiteral("office"),       QStringLiteral("email"),
    QStringLiteral("answer"),    QStringLiteral("client"),       QStringLiteral("deadline"),
    QString::fromUtf8("zakupy"), QString::fromUtf8("spotkanie"), QString::fromUtf8("żółw"),
    QString::fromUtf8("łódź"),   QString::fromUtf8("jutro"),     QString::fromUtf8("święta"),
};

QString words(QRandomGenerator& random, int minChars, int maxChars)
{
    const int target = minChars + int(random.bounded(maxChars - minChars + 1));
    QString text;
    while (text.size() < target) {
        if (!text.isEmpty())
            text += QLatin1Char(random.bounded(12) == 0 ? '\n' : ' ');
        text += kWords.at(random.bounded(int(kWords.size())));
    }
    text.truncate(target);
    return text;
}

void fill(TDM& dm, const FillPlan& plan)
{
    QRandomGenerator random(20240501);
    const QDateTime newest(QDate(2024, 5, 1), QTime(18, 0));
    const int plannedEvery = plan.planned > 0 ? std::max(1, plan.notes / plan.planned) : 0;
    dm.transact([&](DbSession& db) {
        for (int i = 0; i < plan.notes; ++i) {
            const qint32 id = i + 1;
            // Note 1 is the newest; running alarms are the newest notes.
            const QDateTime created = newest.addSecs(-qint64(i) * 1500);
            int state = AlarmNone;
            if (i < plan.running)
                state = AlarmRunning;
            else if (plannedEvery > 0 && i % plannedEvery == plannedEvery / 2)
                state = random.bounded(2) ? AlarmPlanned : AlarmAcknowledged;
            QString alarm = QStringLiteral("NULL, NULL, NULL");
            if (state != AlarmNone) {
                alarm = sql::number(AlarmDaily) + QStringLiteral(", ") +
                        sql::dateLiteral(created.date()) + QStringLiteral(", ") +
                        sql::timeLiteral(QTime(9, 0));
            }
            db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, "
                                      "AlarmRodzaj, AlarmData, AlarmGodzina) VALUES (") +
                       sql::number(id) + QStringLiteral(", ") + sql::quoted(words(random, 5, 50)) +
                       QStringLiteral(", ") + sql::quoted(words(random, 0, 2000)) +
                       QStringLiteral(", ") + sql::timestampLiteral(created) +
                       QStringLiteral(", ") + sql::number(state) + QStringLiteral(", ") + alarm +
                       QStringLiteral(")"));
        }
        db.execute(QStringLiteral("ALTER SEQUENCE GenNotka RESTART WITH ") +
                   sql::number(plan.notes));
    });
}

void fillAlarms(TDM& dm, int notes)
{
    QRandomGenerator random(20240502);
    const QDateTime newest(QDate(2024, 5, 1), QTime(18, 0));
    dm.transact([&](DbSession& db) {
        for (int i = 0; i < notes; ++i) {
            const qint32 id = i + 1;
            const QDateTime created = newest.addSecs(-qint64(i) * 1500);
            const int kind = i % 5;
            const QTime time(int(random.bounded(24)), int(random.bounded(60)));
            int state = AlarmAcknowledged;
            QDate date = QDate(2020, 1, 1).addDays(random.bounded(5 * 365));
            QString acknowledged =
                sql::timestampLiteral(QDateTime(QDate(2099, 12, 31), QTime(23, 0)));
            if (kind == AlarmOnce) {
                date = QDate(2099, 1, 1).addDays(random.bounded(300));
                if (random.bounded(2)) {
                    state = AlarmPlanned;
                    acknowledged = QStringLiteral("NULL");
                }
            }
            db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, "
                                      "AlarmRodzaj, AlarmData, AlarmGodzina, AlarmArchiwum) "
                                      "VALUES (") +
                       sql::number(id) + QStringLiteral(", ") + sql::quoted(words(random, 5, 50)) +
                       QStringLiteral(", ") + sql::quoted(words(random, 0, 2000)) +
                       QStringLiteral(", ") + sql::timestampLiteral(created) +
                       QStringLiteral(", ") + sql::number(state) + QStringLiteral(", ") +
                       sql::number(kind) + QStringLiteral(", ") + sql::dateLiteral(date) +
                       QStringLiteral(", ") + sql::timeLiteral(time) + QStringLiteral(", ") +
                       acknowledged + QStringLiteral(")"));
        }
        db.execute(QStringLiteral("ALTER SEQUENCE GenNotka RESTART WITH ") + sql::number(notes));
    });
}

// A database file in its own cache directory, filled once by fillWith.
template <typename Fill>
QString cachedDatabase(const QString& cacheDirectory, const QString& emptyDatabase,
                       const QString& name, int notes, Fill fillWith)
{
    const QString directory = cacheDirectory + QLatin1Char('/') + name;
    const QString path = directory + QStringLiteral("/dbn.ib");
    const QString done = directory + QStringLiteral("/filled");
    if (QFile::exists(done))
        return path;

    QDir(directory).removeRecursively();
    QDir().mkpath(directory);
    if (!QFile::copy(emptyDatabase, path))
        qFatal("cannot copy %s to %s", qPrintable(emptyDatabase), qPrintable(path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    std::printf("Filling %s with %d notes...\n", qPrintable(path), notes);
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    {
        TDM dm(path);
        fillWith(dm);
    }
    QFile marker(done);
    marker.open(QIODevice::WriteOnly);
    std::printf("  filled in %.1f s\n", double(timer.elapsed()) / 1000.0);
    return path;
}

} // namespace

QString filledAlarmDatabase(const QString& cacheDirectory, const QString& emptyDatabase, int notes)
{
    return cachedDatabase(cacheDirectory, emptyDatabase, QStringLiteral("alarms-%1-v1").arg(notes),
                          notes, [notes](TDM& dm) { fillAlarms(dm, notes); });
}

QString filledDatabase(const QString& cacheDirectory, const QString& emptyDatabase,
                       const FillPlan& plan)
{
    const QString name =
        QStringLiteral("notes-%1-%2-%3-v1").arg(plan.notes).arg(plan.running).arg(plan.planned);
    const QString directory = cacheDirectory + QLatin1Char('/') + name;
    const QString path = directory + QStringLiteral("/dbn.ib");
    const QString done = directory + QStringLiteral("/filled");
    if (QFile::exists(done))
        return path;

    QDir(directory).removeRecursively();
    QDir().mkpath(directory);
    if (!QFile::copy(emptyDatabase, path))
        qFatal("cannot copy %s to %s", qPrintable(emptyDatabase), qPrintable(path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    std::printf("Filling %s with %d notes...\n", qPrintable(path), plan.notes);
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    {
        TDM dm(path);
        fill(dm, plan);
    }
    QFile marker(done);
    marker.open(QIODevice::WriteOnly);
    std::printf("  filled in %.1f s\n", double(timer.elapsed()) / 1000.0);
    return path;
}

} // namespace bench
