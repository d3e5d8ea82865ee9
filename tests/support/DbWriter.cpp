// A second program that writes to a note database, for tests that need other processes:
//   quillbox_db_writer set <db> <key> <value>   write one setting, print "written", then wait
//                                                to be killed
//   quillbox_db_writer notes <db> <tag> <count>  insert count notes one operation at a time,
//                                                then exit 0 (1 on the first failure)
//   quillbox_db_writer saved <db> <tag> <count>  insert count notes through the note store, as
//                                                the editor does (each announcing the change),
//                                                one operation at a time, then exit 0
//   quillbox_db_writer hold <db> <tag> <count>   insert count notes and print "written", again
//                                                for each line read from stdin; exit 0 at its
//                                                end
//   quillbox_db_writer query <db> <sql> <unused>  print each row's columns, tab-separated,
//                                                one row a line
//   quillbox_db_writer execute <db> <sql> <unused> run one statement without a result
//   quillbox_db_writer titles <db>               print the notes' titles, newest first
#include "core/storage/DataModule.h"
#include "core/storage/NoteStore.h"
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
    const int count = args[4].toInt();
    int written = 0;
    auto insertNotes = [&]() -> bool {
        for (int i = 0; i < count; ++i, ++written) {
            try {
                dm.transact([&](DbSession& db) {
                    auto id =
                        db.open(QStringLiteral("SELECT GEN_ID(GenNotka, 1) FROM RDB$DATABASE"));
                    id->fetch();
                    db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, "
                                              "Alarm) VALUES (") +
                               sql::number(id->integer(0)) + QStringLiteral(", ") +
                               sql::quoted(args[3] + QString::number(written)) +
                               QStringLiteral(", ") + sql::quoted(QString(500, QLatin1Char('x'))) +
                               QStringLiteral(", CURRENT_TIMESTAMP, 0)"));
                });
            } catch (const fb::Error& e) {
                std::fprintf(stderr, "%s\n", e.what());
                return false;
            }
        }
        return true;
    };
    if (args[1] == QStringLiteral("notes"))
        return insertNotes() ? 0 : 1;
    if (args[1] == QStringLiteral("saved")) {
        for (int i = 0; i < count; ++i) {
            sql::note::NewNoteRow row;
            row.title = args[3] + QString::number(i);
            row.message = QStringLiteral("saved by another program");
            row.created = QDateTime::currentDateTime();
            row.alarmDate = row.created.date();
            row.alarmTime = QTime(8, 30);
            try {
                note_store::insertNote(dm, row);
            } catch (const fb::Error& e) {
                std::fprintf(stderr, "%s\n", e.what());
                return 1;
            }
        }
        return 0;
    }
    if (args[1] == QStringLiteral("hold")) {
        char line[64];
        do {
            if (!insertNotes())
                return 1;
            std::puts("written");
            std::fflush(stdout);
        } while (std::fgets(line, sizeof line, stdin));
        return 0;
    }
    if (args[1] == QStringLiteral("execute")) {
        try {
            dm.transact([&](DbSession& db) { db.execute(args[3]); });
        } catch (const fb::Error& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        return 0;
    }
    if (args[1] == QStringLiteral("query")) {
        try {
            dm.transact([&](DbSession& db) {
                auto query = db.open(args[3]);
                while (query->fetch()) {
                    QStringList columns;
                    for (int i = 0; i < query->columnCount(); ++i)
                        columns << query->text(i);
                    std::puts(columns.join(QLatin1Char('\t')).toUtf8().constData());
                }
            });
        } catch (const fb::Error& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        return 0;
    }
    return 2;
}
