// A second program that writes to a note database, for tests that need other processes:
//   quillbox_db_writer set <db> <key> <value>   write one setting, print "written", then wait
//                                                to be killed
//   quillbox_db_writer notes <db> <tag> <count>  insert count notes one operation at a time,
//                                                then exit 0 (1 on the first failure)
//   quillbox_db_writer titles <db>               print the notes' titles, newest first
#include "core/storage/DataModule.h"
#include "core/storage/SqlText.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5 && !(args.size() == 3 && args[1] == QStringLiteral("titles")))
        return 2;
    TDM dm(args[2]);
    if (!dm.Connect())
        return 3;
    if (args[1] == QStringLiteral("titles")) {
        try {
            dm.transact([](DbSession& db) {
                auto query = db.open(
                    QStringLiteral("SELECT Tytul FROM NOTATKI ORDER BY DataGodzina DESC, ID DESC"));
                while (query->fetch())
                    std::puts(query->text(0).toUtf8().constData());
            });
        } catch (const fb::Error& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        return 0;
    }
    if (args[1] == QStringLiteral("set")) {
        if (!dm.SetSetting(args[3], args[4]))
            return 1;
        std::puts("written");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(60);
    }
    if (args[1] == QStringLiteral("notes")) {
        const int count = args[4].toInt();
        for (int i = 0; i < count; ++i) {
            try {
                dm.transact([&](DbSession& db) {
                    auto id =
                        db.open(QStringLiteral("SELECT GEN_ID(GenNotka, 1) FROM RDB$DATABASE"));
                    id->fetch();
                    db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, "
                                              "Alarm) VALUES (") +
                               sql::number(id->integer(0)) + QStringLiteral(", ") +
                               sql::quoted(args[3] + QString::number(i)) + QStringLiteral(", ") +
                               sql::quoted(QString(500, QLatin1Char('x'))) +
                               QStringLiteral(", CURRENT_TIMESTAMP, 0)"));
                });
            } catch (const fb::Error& e) {
                std::fprintf(stderr, "%s\n", e.what());
                return 1;
            }
        }
        return 0;
    }
    return 2;
}
