#pragma once

// Shared by the note editor suites: a note list that records what the editor asks of it,
// helpers that put note rows into a test database and read them back, and the editor on a
// fresh database with a fixed clock.

#include "core/storage/SqlText.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/NoteListHost.h"
#include "support/TestDatabase.h"

#include <QDateTime>
#include <QStringList>
#include <memory>

// The note list side of the editor's work, as the main window would offer it, recording each
// request so a test can tell whether the list was reloaded and how.
class RecordingNoteList : public NoteListHost
{
public:
    qint32 current = 0;
    QString search;
    int loads = 0;
    int refreshes = 0;
    int focusRequests = 0;

    qint32 currentNoteId() const override { return current; }
    void setCurrentNoteId(qint32 id) override { current = id; }
    QString searchText() const override { return search; }
    void focusNoteList() override { ++focusRequests; }
    bool LoadNotes() override
    {
        ++loads;
        return true;
    }
    bool RefreshNotes() override
    {
        ++refreshes;
        return true;
    }
    QList<qint32> listedNoteIds() const override { return {}; }
    QWidget* dialogParent() override { return nullptr; }
};

// A note row; the alarm columns are SQL literals so a test can store NULL or odd values.
struct NoteSeed
{
    qint32 id = 1;
    QString title = QStringLiteral("Shopping");
    QString message = QStringLiteral("milk\r\nbread");
    int alarm = 0;
    int kind = 0;
    QString date = QStringLiteral("'2030.05.01'");
    QString time = QStringLiteral("'08:15:40'");
    QString archive = QStringLiteral("NULL");
};

// Inserts the row and moves the note generator past its ID, as if the program had made it.
inline void insertNote(const TestDatabase& db, const NoteSeed& n)
{
    db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, "
                              "AlarmRodzaj, AlarmData, AlarmGodzina, AlarmArchiwum) VALUES (") +
               sql::number(n.id) + QStringLiteral(", ") + sql::quoted(n.title) +
               QStringLiteral(", ") + sql::quoted(n.message) +
               QStringLiteral(", '2030.04.01 10:00:00', ") + sql::number(n.alarm) +
               QStringLiteral(", ") + sql::number(n.kind) + QStringLiteral(", ") + n.date +
               QStringLiteral(", ") + n.time + QStringLiteral(", ") + n.archive +
               QStringLiteral(")"));
    const QString generator =
        db.scalar(QStringLiteral("SELECT GEN_ID(GenNotka, 0) FROM RDB$DATABASE"));
    if (generator.toLongLong() < n.id)
        db.execute(QStringLiteral("ALTER SEQUENCE GenNotka RESTART WITH ") + sql::number(n.id));
}

// The named columns of a note as one line, each value as text and NULL as "NULL"; empty when
// the note has no row.
inline QString noteColumns(const TestDatabase& db, qint32 id, const QStringList& columns)
{
    TDM dm(db.path());
    return dm.transact([&](DbSession& s) {
        auto query = s.open(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                            QStringLiteral(" FROM NOTATKI WHERE ID = ") + sql::number(id));
        if (!query->fetch())
            return QString();
        QStringList values;
        for (int i = 0; i < query->columnCount(); ++i)
            values << (query->isNull(i) ? QStringLiteral("NULL") : query->text(i));
        return values.join(QStringLiteral(" | "));
    });
}

// State, kind, date, time and acknowledgement of a note's alarm.
inline QString alarmColumns(const TestDatabase& db, qint32 id)
{
    return noteColumns(db, id,
                       {QStringLiteral("Alarm"), QStringLiteral("AlarmRodzaj"),
                        QStringLiteral("AlarmData"), QStringLiteral("AlarmGodzina"),
                        QStringLiteral("AlarmArchiwum")});
}

// The note editor as its suite sets it up: a fresh database, the connection the editor works
// on, a recording note list and the editor itself, whose clock reads kNow unless a test gives
// its own. The rows, triggers and schema changes a test starts from go into db before the
// connection is opened (dm() or openEditor()), as they would be there before the program starts.
class EditorFixture
{
public:
    // What the editor's clock reads: 2030-05-15 14:30:20.
    static inline const QDateTime kNow{QDate(2030, 5, 15), QTime(14, 30, 20)};
    static QDateTime fixedNow() { return kNow; }

    TestDatabase db;
    RecordingNoteList list;

    // The editor's connection, opened on first use.
    TDM& dm()
    {
        if (!dm_)
            dm_ = db.open();
        return *dm_;
    }
    // A new editor on the connection, without a parent; the editor made before it, if any, is
    // destroyed first. It lives until the next one or the end of the fixture.
    TFormNotatka& openEditor(TFormNotatka::Clock clock = &EditorFixture::fixedNow)
    {
        editor_.reset();
        TDM& connection = dm();
        editor_ = std::make_unique<TFormNotatka>(connection, list, nullptr, std::move(clock));
        return *editor_;
    }

private:
    // Declared last: the editor goes before the connection and the list it uses.
    std::unique_ptr<TDM> dm_;
    std::unique_ptr<TFormNotatka> editor_;
};
