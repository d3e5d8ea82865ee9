#include "core/storage/SqlText.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

// The data module against real database files: the settings store, the connection rules and
// what happens with a missing or damaged file.
Q_DECLARE_METATYPE(fb::ErrorKind)

class TestDataModule : public QObject
{
    Q_OBJECT

    // The database a run in a process of its own works on, made by the run that started it.
    static constexpr const char* kOwnDatabase = "QUILLBOX_TEST_OWN_DATABASE";

    // Runs one test function of this program (one row of it when tag is given) in a process
    // of its own and checks that it passed: as "nobody" when this is root, who passes every
    // permission check. That user can read neither the build folder nor root's temporary
    // folders, so the program, the database and the user's home and runtime folders (where the
    // engine keeps its settings) are laid out in a folder that belongs to it.
    static void runAsNobody(const char* function, const QString& tag = QString())
    {
        const bool asRoot = ::geteuid() == 0;
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (asRoot && setpriv.isEmpty())
            QSKIP("setpriv is not installed, and root writes to read-only files");
        const uid_t nobody = asRoot ? 65534 : ::geteuid();
        const gid_t group = asRoot ? 65534 : ::getegid();
        QTemporaryDir top;
        QVERIFY(top.isValid());
        QVERIFY(::chmod(QFile::encodeName(top.path()).constData(), 0711) == 0);
        const QString own = top.path() + QStringLiteral("/nobody");
        const QString program = own + QStringLiteral("/test");
        const QString database = own + QStringLiteral("/db/dbn.ib");
        for (const QString& folder :
             QStringList{own, own + QStringLiteral("/db"), own + QStringLiteral("/home"),
                         own + QStringLiteral("/run"), own + QStringLiteral("/tmp")}) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(::chown(QFile::encodeName(folder).constData(), nobody, group) == 0);
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0700) == 0);
        }
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_EMPTY_DB), database));
        for (const QString& file : {program, database})
            QVERIFY(::chown(QFile::encodeName(file).constData(), nobody, group) == 0);
        QVERIFY(::chmod(QFile::encodeName(program).constData(), 0700) == 0);
        QVERIFY(::chmod(QFile::encodeName(database).constData(), 0600) == 0);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(kOwnDatabase), database);
        env.insert(QStringLiteral("HOME"), own + QStringLiteral("/home"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), own + QStringLiteral("/run"));
        env.insert(QStringLiteral("TMPDIR"), own + QStringLiteral("/tmp"));
        for (const char* name : {"FIREBIRD", "FIREBIRD_LOCK", "QUILLBOX_TEST_SERVER"})
            env.remove(QLatin1String(name));
        QProcess run;
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.setWorkingDirectory(own);
        const QString test = tag.isEmpty() ? QString::fromLatin1(function)
                                           : QString::fromLatin1(function) + u':' + tag;
        if (asRoot)
            run.start(setpriv, {QStringLiteral("--reuid=%1").arg(nobody),
                                QStringLiteral("--regid=%1").arg(group),
                                QStringLiteral("--clear-groups"), program, test});
        else
            run.start(program, {test});
        QVERIFY(run.waitForFinished(120000));
        const QByteArray output = run.readAll();
        QByteArray passed = QByteArray("PASS   : TestDataModule::").append(function);
        if (!tag.isEmpty())
            passed += '(' + tag.toUtf8() + ')';
        QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0 &&
                     output.contains(passed),
                 output.constData());
    }

private Q_SLOTS:
    void missingKeyReadsAsMinusOne()
    {
        TestDatabase db;
        auto dm = db.open();
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainTop")), QStringLiteral("-1"));
    }

    void valuesRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("number") << "120";
        QTest::newRow("empty text is not missing") << "";
        QTest::newRow("apostrophes") << "O'Brien's ''note''";
        QTest::newRow("backslashes") << R"(C:\temp\ \\ \n)";
        QTest::newRow("percent and underscore") << "100% _done_";
        QTest::newRow("line breaks") << "one\r\ntwo\nthree";
        QTest::newRow("sql fragment") << "'); DELETE FROM USTAWIENIA; --";
        QTest::newRow("polish") << QString::fromUtf8("Zażółć gęślą jaźń ŁÓDŹ");
        QTest::newRow("emoji") << QString::fromUtf8("🦆 note");
    }
    void valuesRoundTrip()
    {
        QFETCH(QString, value);
        TestDatabase db;
        auto dm = db.open();
        QVERIFY(dm->SetSetting(QStringLiteral("Key"), value));
        QCOMPARE(dm->GetSetting(QStringLiteral("Key")), value);
        // Keys are quoted the same way.
        QVERIFY(dm->SetSetting(value + QStringLiteral("#key"), QStringLiteral("v")));
        QCOMPARE(dm->GetSetting(value + QStringLiteral("#key")), QStringLiteral("v"));
    }

    void secondWriteUpdatesTheSameRow()
    {
        TestDatabase db;
        auto dm = db.open();
        QVERIFY(dm->SetSetting(QStringLiteral("FormMainWidth"), QStringLiteral("310")));
        const QString id = db.scalar(
            QStringLiteral("SELECT ID FROM USTAWIENIA WHERE Ustawienie = 'FormMainWidth'"));
        QVERIFY(dm->SetSetting(QStringLiteral("FormMainWidth"), QStringLiteral("420")));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM USTAWIENIA")), QStringLiteral("1"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT ID FROM USTAWIENIA")), id);
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainWidth")), QStringLiteral("420"));
    }

    void nullValueReadsAsEmptyText()
    {
        TestDatabase db;
        db.execute(QStringLiteral("INSERT INTO USTAWIENIA (Ustawienie) VALUES ('HasloDostepu')"));
        auto dm = db.open();
        const QString value = dm->GetSetting(QStringLiteral("HasloDostepu"));
        QVERIFY(value.isEmpty());
    }

    void writesAreCommittedAtOnce()
    {
        // Another connection sees each write as soon as the operation returns.
        TestDatabase db;
        auto dm = db.open();
        QVERIFY(dm->SetSetting(QStringLiteral("DataSzerokosc"), QStringLiteral("130")));
        QCOMPARE(db.scalar(QStringLiteral(
                     "SELECT Wartosc FROM USTAWIENIA WHERE Ustawienie = 'DataSzerokosc'")),
                 QStringLiteral("130"));
    }

    void statementsReopenAClosedConnection()
    {
        TestDatabase db;
        auto dm = db.open();
        QVERIFY(dm->Disconnect());
        QVERIFY(!dm->isConnected());
        QVERIFY(dm->SetSetting(QStringLiteral("FormMainLeft"), QStringLiteral("7")));
        QVERIFY(dm->isConnected());
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainLeft")), QStringLiteral("7"));
    }

    void unicodeTextFitsAndSearchIgnoresCase()
    {
        TestDatabase db;
        auto dm = db.open();
        const QString title = QString::fromUtf8("ŁÓDŹ żółć ").repeated(5);
        QCOMPARE(title.size(), 50);
        dm->transact([&](DbSession& s) {
            s.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc) VALUES (1, ") +
                      sql::quoted(title) + QStringLiteral(", ") +
                      sql::quoted(QString(5000, QChar(0x0416))) + QStringLiteral(")"));
        });
        QCOMPARE(db.scalar(QStringLiteral("SELECT Tytul FROM NOTATKI WHERE ID = 1")), title);
        QCOMPARE(db.scalar(QStringLiteral("SELECT ID FROM NOTATKI WHERE Tytul CONTAINING "
                                          "'łódź' AND Tresc CONTAINING 'жжж'")),
                 QStringLiteral("1"));
    }

    void unreachableDatabaseFallsBack_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing file") << QByteArray() << false;
        QTest::newRow("not a database") << QByteArray("just some text\n").repeated(200) << true;
        QTest::newRow("empty file") << QByteArray() << true;
    }
    void unreachableDatabaseFallsBack()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        const QString path = unusableDatabasePath(exists, content);
        TDM dm(path);
        QVERIFY(!dm.Connect());
        QCOMPARE(dm.GetSetting(QStringLiteral("FormMainTop")), QStringLiteral("-1"));
        QVERIFY(!dm.SetSetting(QStringLiteral("FormMainTop"), QStringLiteral("1")));
        QVERIFY(!dm.Disconnect() || !dm.isConnected());
    }

    void truncatedDatabaseNeverCrashes()
    {
        TestDatabase db;
        {
            auto dm = db.open();
            QVERIFY(dm->SetSetting(QStringLiteral("A"), QStringLiteral("1")));
        }
        QFile file(db.path());
        QVERIFY(file.resize(file.size() / 3));
        TDM dm(db.path());
        dm.Connect();
        // Whatever the engine makes of the damage, each operation ends in a value.
        const QString value = dm.GetSetting(QStringLiteral("A"));
        QVERIFY(value == QStringLiteral("1") || value == QStringLiteral("-1"));
        dm.SetSetting(QStringLiteral("B"), QStringLiteral("2"));
    }

    void databaseWithoutTablesFallsBack()
    {
        TestDatabase db;
        db.execute(QStringLiteral("DROP TABLE USTAWIENIA"));
        auto dm = db.open();
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainTop")), QStringLiteral("-1"));
        QVERIFY(!dm->SetSetting(QStringLiteral("FormMainTop"), QStringLiteral("5")));
    }

    // Root writes to read-only files, so as root the check runs again as the unprivileged user
    // "nobody", from a copy of this program in a folder of that user's own.
    void readOnlyFileFallsBack()
    {
        QString path = qEnvironmentVariable(kOwnDatabase);
        if (path.isEmpty() && ::geteuid() == 0) {
            runAsNobody("readOnlyFileFallsBack");
            return;
        }
        std::unique_ptr<TestDatabase> db;
        if (path.isEmpty()) {
            db = std::make_unique<TestDatabase>();
            path = db->path();
        }
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        TDM dm(path);
        dm.Connect();
        QVERIFY(!dm.SetSetting(QStringLiteral("FormMainTop"), QStringLiteral("5")));
        QCOMPARE(dm.GetSetting(QStringLiteral("FormMainTop")), QStringLiteral("-1"));
    }

    // The kind of a failed open, and of a save that tries the connection again, for real
    // failures as the engine reports them. Each case runs in a process of its own (as "nobody"
    // when this is root), because the engine of a process keeps the lock folder of the first
    // database it opens, and root would pass every permission check.
    void failureKinds_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<fb::ErrorKind>("kind");
        using fb::ErrorKind;
        QTest::newRow("lock folder not writable") << "lock folder" << ErrorKind::LockFolder;
        QTest::newRow("lock folder is a file") << "lock file" << ErrorKind::LockFolder;
        QTest::newRow("read-only folder") << "folder" << ErrorKind::FolderNotWritable;
        QTest::newRow("read-only file") << "file" << ErrorKind::NotWritable;
        QTest::newRow("unreadable file") << "unreadable" << ErrorKind::NotWritable;
        QTest::newRow("not a database") << "text" << ErrorKind::NotDatabase;
        QTest::newRow("missing file") << "missing" << ErrorKind::FileMissing;
        QTest::newRow("server that does not answer") << "closed port" << ErrorKind::ConnectionLost;
    }
    void failureKinds()
    {
        QFETCH(QString, setUp);
        QFETCH(fb::ErrorKind, kind);
        QString path = qEnvironmentVariable(kOwnDatabase);
        if (path.isEmpty()) {
            runAsNobody("failureKinds", QString::fromUtf8(QTest::currentDataTag()));
            return;
        }
        const QString folder = QFileInfo(path).absolutePath();
        const QByteArray lockFolder = QFile::encodeName(folder + QStringLiteral("/.dbn.lock"));
        if (setUp == QStringLiteral("lock folder")) {
            QVERIFY(::mkdir(lockFolder.constData(), 0500) == 0);
        } else if (setUp == QStringLiteral("lock file")) {
            QFile file(QFile::decodeName(lockFolder));
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (setUp == QStringLiteral("folder")) {
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0500) == 0);
        } else if (setUp == QStringLiteral("file")) {
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0400) == 0);
        } else if (setUp == QStringLiteral("unreadable")) {
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0200) == 0);
        } else if (setUp == QStringLiteral("text")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray("just some text\n").repeated(600));
        } else if (setUp == QStringLiteral("missing")) {
            QVERIFY(QFile::remove(path));
        } else {
            path = QStringLiteral("127.0.0.1/1:") + path;
        }

        TDM dm(path);
        fb::ErrorKind opened = fb::ErrorKind::Other;
        QVERIFY(!dm.Connect(&opened));
        QCOMPARE(opened, kind);
        fb::ErrorKind saved = fb::ErrorKind::Other;
        try {
            dm.transact([](DbSession& db) {
                db.execute(QStringLiteral("UPDATE USTAWIENIA SET Wartosc = '1'"));
            });
            QFAIL("the save went through");
        } catch (const fb::Error& e) {
            saved = e.kind();
        }
        QCOMPARE(saved, kind);
        if (setUp == QStringLiteral("folder"))
            ::chmod(QFile::encodeName(folder).constData(), 0700);
    }

    void failuresAreLogged()
    {
        TestDatabase db;
        db.execute(QStringLiteral("DROP TABLE USTAWIENIA"));
        auto dm = db.open();
        QTest::ignoreMessage(
            QtWarningMsg,
            QRegularExpression(QStringLiteral("^DM - Nie można zapisać ustawienia Key o "
                                              "wartości 5 w konfiguracji! - .*USTAWIENIA"),
                               QRegularExpression::DotMatchesEverythingOption));
        dm->SetSetting(QStringLiteral("Key"), QStringLiteral("5"));
    }

    void updateCountsTheRowsItChanged()
    {
        TestDatabase db;
        db.execute(QStringLiteral("INSERT INTO USTAWIENIA (ID, Ustawienie, Wartosc) VALUES "
                                  "(1, 'a', 'x')"));
        db.execute(QStringLiteral("INSERT INTO USTAWIENIA (ID, Ustawienie, Wartosc) VALUES "
                                  "(2, 'b', 'x')"));
        auto dm = db.open();
        const auto changed = [&](const char* sql) {
            return dm->transact([&](DbSession& s) { return s.execute(QString::fromLatin1(sql)); });
        };
        QCOMPARE(changed("UPDATE USTAWIENIA SET Wartosc = 'y' WHERE Ustawienie = 'none'"), 0);
        QCOMPARE(changed("UPDATE USTAWIENIA SET Wartosc = 'y' WHERE Ustawienie = 'a'"), 1);
        QCOMPARE(changed("UPDATE USTAWIENIA SET Wartosc = 'z'"), 2);
        QCOMPARE(changed("DELETE FROM USTAWIENIA WHERE ID = 2"), 1);
    }
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "TestDataModule.moc"
