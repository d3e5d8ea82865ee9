// Runs a test program against a Firebird server of its own:
//   quillbox_with_server <test program> [arguments...]
// starts the server (support/FirebirdServer.h), runs the program with QUILLBOX_TEST_SERVER set
// to the server's prefix, so every TestDatabase is reached through 127.0.0.1/<port>, and
// returns the program's exit status. When the server cannot be started here it says why and
// returns 77, which CTest reports as a skip.
#include "support/FirebirdServer.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fputs("usage: quillbox_with_server <test program> [arguments...]\n", stderr);
        return 2;
    }
    FirebirdServer server;
    QString why;
    if (!server.start(&why)) {
        std::printf("SKIP: no Firebird server for this test: %s\n", qPrintable(why));
        return 77;
    }
    std::printf("Firebird server on %s\n", qPrintable(server.prefix()));
    std::fflush(stdout);
    QProcess test;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLBOX_TEST_SERVER"), server.prefix());
    test.setProcessEnvironment(env);
    test.setProcessChannelMode(QProcess::ForwardedChannels);
    args.removeFirst();
    test.start(args.takeFirst(), args);
    if (!test.waitForFinished(-1))
        return 1;
    return test.exitStatus() == QProcess::NormalExit ? test.exitCode() : 1;
}
