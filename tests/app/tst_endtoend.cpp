// Starts the real plenvo executable with a folder argument on a private X server and waits
// until its window shows the result of the scan.

#include "TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace plenvo::test;

class EndToEndTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aFolderGivenOnTheCommandLineIsScannedAndShown()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            QSKIP("Xvfb is not installed, so no X server can be started (apt-get install xvfb)");
        const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
        QVERIFY2(!xwininfo.isEmpty(),
                 "xwininfo is needed to read window titles (apt-get install x11-utils)");

        // The server picks a free display itself and names it on its standard output, so that
        // test runs side by side never race for one.
        QProcess server;
        server.start(xvfb,
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1400x900x24"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QString display;
        if (!server.waitForStarted(10000) ||
            !QTest::qWaitFor(
                [&] {
                    display += QString::fromLatin1(server.readAllStandardOutput());
                    return display.endsWith(QLatin1Char('\n'));
                },
                10000))
            QSKIP("the X server could not be started here");
        const QString name = QLatin1Char(':') + display.trimmed();

        ScratchDir dir;
        QVERIFY(makeDir(dir.file("photos")));
        QVERIFY(writeFile(dir.file("photos/holiday.jpg"), 200000));
        QVERIFY(writeFile(dir.file("notes.txt"), 100));
        const QString folderName = QFileInfo(QString::fromLocal8Bit(dir.path())).fileName();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), name);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
        QProcess app;
        app.setProcessEnvironment(environment);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QStringLiteral(PLENVO_EXECUTABLE), {QString::fromLocal8Bit(dir.path())});
        QVERIFY2(app.waitForStarted(10000), qPrintable(app.errorString()));

        QString windows;
        const bool shown = QTest::qWaitFor(
            [&] {
                QProcess list;
                list.start(xwininfo, {QStringLiteral("-display"), name, QStringLiteral("-root"),
                                      QStringLiteral("-tree")});
                list.waitForFinished(5000);
                windows = QString::fromLocal8Bit(list.readAllStandardOutput());
                return windows.contains(folderName) && windows.contains(QStringLiteral("Plenvo"));
            },
            30000);
        const bool stillRunning = app.state() == QProcess::Running;
        app.terminate();
        app.waitForFinished(5000);
        server.terminate();
        server.waitForFinished(5000);
        QVERIFY2(stillRunning, "plenvo exited early");
        QVERIFY2(shown, qPrintable(QStringLiteral("no window titled with the folder; windows:\n") +
                                   windows));
    }
};

QTEST_GUILESS_MAIN(EndToEndTest)
#include "tst_endtoend.moc"
