#include "CommandLine.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

using namespace plenvo;
using namespace plenvo::test;

class CommandLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aFolderIsScannedAtLaunch()
    {
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("inner")));
        const QString path = QString::fromLocal8Bit(dir.path());
        const CommandLine line(
            {QStringLiteral("plenvo"), path + QStringLiteral("/inner/../inner/")});
        QCOMPARE(line.action(), CommandLine::Action::run);
        QCOMPARE(line.folder(), std::optional(path + QStringLiteral("/inner")));

        // Relative to the working folder.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(path);
        const CommandLine relative({QStringLiteral("plenvo"), QStringLiteral("inner")});
        QDir::setCurrent(previous);
        QCOMPARE(relative.folder(), std::optional(path + QStringLiteral("/inner")));
    }

    void noArgumentMeansNoScan()
    {
        const CommandLine line({QStringLiteral("plenvo")});
        QCOMPARE(line.action(), CommandLine::Action::run);
        QVERIFY(!line.folder());
    }

    void whatIsNotAFolderEndsWithStatusTwo()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("plain.txt"), 1));
        const QString path = QString::fromLocal8Bit(dir.path());
        for (const QStringList& arguments :
             {QStringList{QStringLiteral("plenvo"), path + QStringLiteral("/plain.txt")},
              QStringList{QStringLiteral("plenvo"), path + QStringLiteral("/missing")},
              QStringList{QStringLiteral("plenvo"), path, path},
              QStringList{QStringLiteral("plenvo"), QStringLiteral("--no-such-option")}}) {
            const CommandLine line(arguments);
            QCOMPARE(line.action(), CommandLine::Action::exit);
            QCOMPARE(line.exitCode(), 2);
            QVERIFY(!line.folder());
        }
    }

    void helpAndVersionEndWithSuccess()
    {
        for (const char* option : {"--help", "--version"}) {
            const CommandLine line({QStringLiteral("plenvo"), QString::fromLatin1(option)});
            QCOMPARE(line.action(), CommandLine::Action::exit);
            QCOMPARE(line.exitCode(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
