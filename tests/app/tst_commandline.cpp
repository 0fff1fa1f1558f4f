#include "CommandLine.h"
#include "TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using namespace plenvo;
using namespace plenvo::test;
using namespace Qt::StringLiterals;

class CommandLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // "@" stands for a scratch folder, which is also the working folder.
    void arguments_data()
    {
        QTest::addColumn<QByteArrayList>("arguments"); // after the program name
        QTest::addColumn<int>("exitCode");             // -1: the application runs
        QTest::addColumn<QByteArray>("folder");        // to scan at launch, empty for none
        QTest::newRow("none") << QByteArrayList{} << -1 << QByteArray();
        QTest::newRow("absolute, cleaned")
            << QByteArrayList{"@/inner/../inner/"} << -1 << QByteArray("@/inner");
        QTest::newRow("relative") << QByteArrayList{"inner"} << -1 << QByteArray("@/inner");
        QTest::newRow("not UTF-8") << QByteArrayList{"bad\xff"} << -1 << QByteArray("@/bad\xff");
        QTest::newRow("Qt's options") << QByteArrayList{"-style", "Fusion",   "--platform",
                                                        "xcb",    "-reverse", "-stylesheet=a.qss",
                                                        "inner"}
                                      << -1 << QByteArray("@/inner");
        QTest::newRow("after --") << QByteArrayList{"--", "-dash"} << -1 << QByteArray("@/-dash");
        QTest::newRow("a file") << QByteArrayList{"plain.txt"} << 2 << QByteArray();
        QTest::newRow("missing") << QByteArrayList{"missing"} << 2 << QByteArray();
        QTest::newRow("two folders") << QByteArrayList{"inner", "inner"} << 2 << QByteArray();
        QTest::newRow("unknown option") << QByteArrayList{"--bogus"} << 2 << QByteArray();
        QTest::newRow("help") << QByteArrayList{"--help-all"} << 0 << QByteArray();
        QTest::newRow("version") << QByteArrayList{"-v", "inner"} << 0 << QByteArray();
    }

    void arguments()
    {
        QFETCH(QByteArrayList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, folder);
        ScratchDir dir;
        for (const char* name : {"inner", "bad\xff", "-dash"})
            QVERIFY(makeDir(dir.file(name)));
        QVERIFY(writeFile(dir.file("plain.txt"), 1));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QString::fromLocal8Bit(dir.path())));
        QByteArrayList line{"plenvo"};
        for (const QByteArray& argument : arguments)
            line << QByteArray(argument).replace('@', dir.path());
        const CommandLine commandLine(line);
        QDir::setCurrent(previous);
        QCOMPARE(commandLine.action(),
                 exitCode < 0 ? CommandLine::Action::run : CommandLine::Action::exit);
        QCOMPARE(commandLine.exitCode(), std::max(exitCode, 0));
        QCOMPARE(commandLine.folder(),
                 folder.isEmpty() ? std::nullopt
                                  : std::optional(folder.replace('@', dir.path()).toStdString()));
    }

    // Help, the version and mistakes are answered without a display.
    void theExecutableAnswersWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"Usage: " PLENVO_EXECUTABLE ""_s;
        QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u"Plenvo "_s;
        QTest::newRow("unknown option") << QStringList{u"--bogus"_s} << 2 << u"plenvo: "_s;
        QTest::newRow("missing folder")
            << QStringList{u"/nonexistent/folder"_s} << 2 << u": no such folder"_s;
        QTest::newRow("export to standard output")
            << QStringList{u"--export"_s, u"-"_s, QStringLiteral(QT_TESTCASE_SOURCEDIR)} << 0
            << u"[1,2,{\"progname\":\"plenvo\",\"progver\":\""_s;
        QTest::newRow("export without a folder")
            << QStringList{u"--export"_s, u"-"_s} << 2 << u"--export needs a folder"_s;
        QTest::newRow("export into a missing folder")
            << QStringList{u"--export"_s, u"/nonexistent/scan.json"_s,
                           QStringLiteral(QT_TESTCASE_SOURCEDIR)}
            << 2 << u"plenvo: /nonexistent/scan.json: "_s;
    }

    void theExecutableAnswersWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"DISPLAY"_s);
        environment.remove(u"WAYLAND_DISPLAY"_s);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        QProcess plenvo;
        plenvo.setProcessEnvironment(environment);
        plenvo.setProcessChannelMode(QProcess::MergedChannels);
        plenvo.start(QStringLiteral(PLENVO_EXECUTABLE), arguments);
        QVERIFY(plenvo.waitForFinished(20000));
        const QString text = QString::fromLocal8Bit(plenvo.readAll());
        QCOMPARE(plenvo.exitStatus(), QProcess::NormalExit);
        QCOMPARE(plenvo.exitCode(), exitCode);
        QVERIFY2(text.contains(output), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
