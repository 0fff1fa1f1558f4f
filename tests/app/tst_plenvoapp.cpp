// The application: its command line, what it does when it becomes active, and the real
// executable, without a display and on a private X server.

#include "AppState.h"
#include "CommandLine.h"
#include "HeadlessExport.h"
#include "PlenvoApp.h"
#include "TestSupport.h"
#include "services/NcduReader.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>

#include <fstream>
#include <set>

using namespace plenvo;
using namespace plenvo::test;
using namespace Qt::StringLiterals;

namespace {

// Starts the plenvo executable with this process's environment, changed by `changes` (a
// variable with an empty value is removed).
void start(QProcess& plenvo, const QStringList& arguments,
           const QList<std::pair<QString, QString>>& changes)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : changes)
        value.isEmpty() ? environment.remove(name) : environment.insert(name, value);
    plenvo.setProcessEnvironment(environment);
    plenvo.start(QStringLiteral(PLENVO_EXECUTABLE), arguments);
}

// The command line parsed in `dir`, the working folder, where "@" in an argument stands for `dir`.
// In it "inner", "bad\xff" and "-dash" are folders, "scan" is a saved scan, recognised by its
// content, and "plain.json" is not.
std::optional<CommandLine> parsedIn(const ScratchDir& dir, const QByteArrayList& arguments)
{
    for (const char* name : {"inner", "bad\xff", "-dash"})
        if (!makeDir(dir.file(name)))
            return std::nullopt;
    if (!writeFile(dir.file("plain.json"), 1))
        return std::nullopt;
    std::ofstream(dir.file("scan").toStdString()) << R"([1,2,{},[{"name":"/r"}]])";
    const QString previous = QDir::currentPath();
    if (!QDir::setCurrent(QString::fromLocal8Bit(dir.path())))
        return std::nullopt;
    QByteArrayList line{"plenvo"};
    for (const QByteArray& argument : arguments)
        line << QByteArray(argument).replace('@', dir.path());
    std::optional<CommandLine> commandLine(std::in_place, line);
    QDir::setCurrent(previous);
    return commandLine;
}

} // namespace

class PlenvoAppTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Arguments as parsedIn() takes them.
    void commandLine_data()
    {
        QTest::addColumn<QByteArrayList>("arguments"); // after the program name
        QTest::addColumn<int>("exitCode");             // -1: the application runs
        QTest::addColumn<QByteArray>("folder");        // to scan at launch, empty for none
        QTest::addColumn<QByteArray>("scanFile");      // to open at launch, empty for none
        const auto row = [](const char* name, const QByteArrayList& arguments, int exitCode,
                            const QByteArray& folder = {}, const QByteArray& scanFile = {}) {
            QTest::newRow(name) << arguments << exitCode << folder << scanFile;
        };
        row("none", {}, -1);
        row("absolute, cleaned", {"@/inner/../inner/"}, -1, "@/inner");
        row("relative", {"inner"}, -1, "@/inner");
        row("not UTF-8", {"bad\xff"}, -1, "@/bad\xff");
        row("Qt's options",
            {"-style", "Fusion", "--platform", "xcb", "-reverse", "-stylesheet=a.qss", "inner"}, -1,
            "@/inner");
        row("after --", {"--", "-dash"}, -1, "@/-dash");
        row("a saved scan", {"@/scan"}, -1, {}, "@/scan");
        row("a file", {"plain.json"}, 2);
        row("two folders", {"inner", "inner"}, 2);
        row("a saved scan to export", {"--export", "-", "scan"}, 2);
        row("help", {"--help-all"}, 0);
        row("version", {"-v", "inner"}, 0);
    }

    void commandLine()
    {
        QFETCH(QByteArrayList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, folder);
        QFETCH(QByteArray, scanFile);
        ScratchDir dir;
        const std::optional<CommandLine> parsed = parsedIn(dir, arguments);
        QVERIFY(parsed);
        const CommandLine& commandLine = *parsed;
        QCOMPARE(commandLine.action(),
                 exitCode < 0 ? CommandLine::Action::run : CommandLine::Action::exit);
        QCOMPARE(commandLine.exitCode(), std::max(exitCode, 0));
        const auto at = [&](QByteArray path) {
            return path.isEmpty() ? std::nullopt
                                  : std::optional(path.replace('@', dir.path()).toStdString());
        };
        QCOMPARE(commandLine.folder(), at(folder));
        QCOMPARE(commandLine.scanFile(), at(scanFile));
    }

    // --diff takes two scans, each a folder or a saved scan, and its own options only with it.
    void diffCommandLine_data()
    {
        QTest::addColumn<QByteArrayList>("arguments"); // after the program name, "@" a folder
        QTest::addColumn<int>("exitCode");             // -1: the comparison runs
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("json");
        const auto row = [](const char* name, const QByteArrayList& arguments, int exitCode,
                            int limit = 50, bool json = false) {
            QTest::newRow(name) << arguments << exitCode << limit << json;
        };
        row("two saved scans", {"--diff", "scan", "@/scan"}, -1);
        row("a saved scan and a folder", {"--diff", "--limit", "7", "scan", "inner"}, -1, 7);
        row("all, as JSON", {"--json", "--limit=0", "--diff", "inner", "inner"}, -1, 0, true);
        row("one scan", {"--diff", "scan"}, 2);
        row("three scans", {"--diff", "scan", "scan", "scan"}, 2);
        row("a file that is not a scan", {"--diff", "scan", "plain.json"}, 2);
        row("a missing scan", {"--diff", "missing", "scan"}, 2);
        row("a limit that is no number", {"--diff", "--limit", "many", "scan", "scan"}, 2);
        row("with --export", {"--diff", "--export", "-", "scan", "scan"}, 2);
        row("--json alone", {"--json", "inner"}, 2);
        row("--limit alone", {"--limit", "3", "inner"}, 2);
    }

    void diffCommandLine()
    {
        QFETCH(QByteArrayList, arguments);
        QFETCH(int, exitCode);
        QFETCH(int, limit);
        QFETCH(bool, json);
        ScratchDir dir;
        const std::optional<CommandLine> parsed = parsedIn(dir, arguments);
        QVERIFY(parsed);
        const CommandLine& commandLine = *parsed;
        QCOMPARE(commandLine.action(),
                 exitCode < 0 ? CommandLine::Action::diff : CommandLine::Action::exit);
        QCOMPARE(commandLine.exitCode(), std::max(exitCode, 0));
        if (exitCode >= 0) {
            QVERIFY(!commandLine.diffPaths());
            return;
        }
        QCOMPARE(commandLine.diffPaths()->first,
                 dir.str() + '/' + arguments[arguments.size() - 2].toStdString());
        QCOMPARE(commandLine.diffLimit(), std::size_t(limit));
        QCOMPARE(commandLine.diffAsJson(), json);
    }

    // The executable compares two saved scans: a summary and a table, or JSON lines; a scan that
    // cannot be read is an error.
    void diffPrintsTheChanges()
    {
        ScratchDir dir;
        const std::string before = dir.file("before.json").toStdString();
        const std::string after = dir.file("after.json.gz").toStdString();
        std::ofstream(before) << R"([1,2,{"timestamp":1700000000},[{"name":"/srv","dev":1},)"
                                 R"({"name":"a","dsize":4096},{"name":"gone","dsize":4096},)"
                                 R"([{"name":"logs","ino":5},{"name":"x","dsize":8192}]]])";
        const QByteArray later = R"([1,2,{"timestamp":1700086400},[{"name":"/srv","dev":1},)"
                                 R"({"name":"a","dsize":12288},{"name":"b","dsize":4096},)"
                                 R"([{"name":"old-logs","ino":5},{"name":"x","dsize":8192}]]])";
        QProcess gzip;
        gzip.start(u"gzip"_s, {u"-c"_s});
        gzip.write(later);
        gzip.closeWriteChannel();
        QVERIFY(gzip.waitForFinished(10000));
        std::ofstream(after, std::ios::binary) << gzip.readAllStandardOutput().toStdString();

        const auto run = [&](const QStringList& arguments, int& exitCode) {
            QProcess plenvo;
            start(plenvo, arguments, {{u"DISPLAY"_s, {}}, {u"WAYLAND_DISPLAY"_s, {}}});
            plenvo.waitForFinished(20000);
            exitCode = plenvo.exitCode();
            return QString::fromUtf8(plenvo.readAllStandardOutput() +
                                     plenvo.readAllStandardError());
        };
        const QString old = QString::fromStdString(before), now = QString::fromStdString(after);
        int exitCode = -1;
        const QString table = run({u"--diff"_s, old, now}, exitCode);
        QCOMPARE(exitCode, 0);
        QVERIFY2(table.contains(u"Change:  +8.2 kB: grown 8.2 kB in 1 file, shrunk 0 B in 0 "
                                u"files, new 4.1 kB in 1 file, gone 4.1 kB in 1 file; 1 folder "
                                u"moved\n"_s),
                 qPrintable(table));
        QVERIFY2(table.endsWith(u"\n CHANGE  KIND    PATH\n"
                                u"+8.2 kB  grown   /srv/a\n"
                                u"+4.1 kB  new     /srv/b\n"
                                u"-4.1 kB  gone    /srv/gone\n"
                                u"    0 B  moved   /srv/old-logs (from /srv/logs)\n"_s),
                 qPrintable(table));

        const QString limited = run({u"--diff"_s, u"--limit"_s, u"1"_s, old, now}, exitCode);
        QVERIFY2(limited.endsWith(u"/srv/a\n... and 3 more (--limit 0 shows them all)\n"_s),
                 qPrintable(limited));

        const QStringList lines =
            run({u"--diff"_s, u"--json"_s, old, now}, exitCode).trimmed().split(u'\n');
        QCOMPARE(exitCode, 0);
        QCOMPARE(lines.size(), 5);
        const QJsonObject summary = QJsonDocument::fromJson(lines[0].toUtf8()).object();
        QCOMPARE(summary[u"kind"_s].toString(), u"summary"_s);
        QCOMPARE(summary[u"change"_s].toInteger(), 8192);
        QCOMPARE(summary[u"old_date"_s].toInteger(), 1700000000000);
        QCOMPARE(summary[u"moved"_s].toInteger(), 1);
        const QJsonObject moved = QJsonDocument::fromJson(lines[4].toUtf8()).object();
        QCOMPARE(moved[u"kind"_s].toString(), u"moved"_s);
        QCOMPARE(moved[u"path"_s].toString(), u"/srv/old-logs"_s);
        QCOMPARE(moved[u"old_path"_s].toString(), u"/srv/logs"_s);
        QCOMPARE(moved[u"new_size"_s].toInteger(), 8192);

        std::ofstream(before) << R"([1,2,{},[{"name":"/srv"},{"name":"a")";
        const QString failed = run({u"--diff"_s, old, now}, exitCode);
        QCOMPARE(exitCode, 2);
        QVERIFY2(failed.startsWith(u"plenvo: "_s + old + u": "_s), qPrintable(failed));
    }

    // Help, the version and mistakes are answered without a display.
    void theExecutableAnswersWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "@": a folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        const auto row = [](const char* name, const QString& arguments, int exitCode,
                            const QString& output) {
            QTest::newRow(name) << arguments.split(u' ') << exitCode << output;
        };
        row("help", u"--help"_s, 0, u"Usage: " PLENVO_EXECUTABLE ""_s);
        row("version", u"--version"_s, 0, u"Plenvo "_s);
        row("unknown option", u"--bogus"_s, 2, u"plenvo: "_s);
        row("missing folder", u"/nonexistent/folder"_s, 2, u": no such folder"_s);
        row("export to standard output", u"--export - @"_s, 0,
            u"[1,2,{\"progname\":\"plenvo\",\"progver\":\""_s);
        row("export without a folder", u"--export -"_s, 2, u"--export needs a folder"_s);
        row("export into a missing folder", u"--export /nonexistent/scan.json @"_s, 2,
            u"plenvo: /nonexistent/scan.json: "_s);
        row("duplicates without a folder", u"--duplicates"_s, 2, u"--duplicates needs a folder"_s);
        row("duplicates and an export", u"--duplicates --export - @"_s, 2,
            u"cannot be asked for at once"_s);
        row("duplicates of a file", u"--duplicates @/tst_plenvoapp.cpp"_s, 2,
            u"tst_plenvoapp.cpp: not a folder"_s);
    }

    // `plenvo --duplicates FOLDER` prints groups as fdupes and jdupes do: a path a line, names
    // as the bytes they are, a blank line after each group.
    void duplicatesArePrintedAsGroups()
    {
        ScratchDir dir, cache;
        const QByteArray copy(5000, 'c'), other(2000, 'o');
        QVERIFY(makeDir(dir.file("sub")) && makeDir(dir.file("sub/deeper")));
        for (const auto& [name, bytes] : {std::pair<QByteArray, QByteArray>{"a", copy},
                                          {"sub/b\xff c", copy},
                                          {"sub/deeper/a", copy},
                                          {"x", other},
                                          {"sub/y", other},
                                          {"unique", QByteArray(3000, 'u')},
                                          {"small", QByteArray(1000, 's')},
                                          {"small2", QByteArray(1000, 's')}}) {
            const int fd = ::open(dir.file(name).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            QVERIFY(fd >= 0);
            const bool written =
                ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
            ::close(fd);
            QVERIFY(written);
        }
        QProcess plenvo;
        start(plenvo, {u"--duplicates"_s, QString::fromLocal8Bit(dir.path())},
              {{u"XDG_CACHE_HOME"_s, QString::fromLocal8Bit(cache.path())}});
        QVERIFY(plenvo.waitForFinished(20000));
        QCOMPARE(plenvo.exitStatus(), QProcess::NormalExit);
        QCOMPARE(plenvo.exitCode(), 0);
        QCOMPARE(plenvo.readAllStandardError(), QByteArray());
        const QByteArray out = plenvo.readAllStandardOutput();
        QVERIFY2(out.endsWith("\n\n"), out.constData());
        std::set<std::set<QByteArray>> groups;
        qsizetype start = 0;
        while (start < out.size()) {
            const qsizetype end = out.indexOf("\n\n", start);
            QVERIFY(end > start);
            std::set<QByteArray> paths;
            for (const QByteArray& line : out.mid(start, end - start).split('\n'))
                paths.insert(line.mid(dir.path().size() + 1));
            groups.insert(paths);
            start = end + 2;
        }
        const std::set<std::set<QByteArray>> expected{{"a", "sub/b\xff c", "sub/deeper/a"},
                                                      {"x", "sub/y"}};
        QCOMPARE(groups, expected);
        // The groups that waste the most space come first.
        QVERIFY(out.startsWith(dir.path() + '/') && out.indexOf("/x\n") > out.indexOf("/a\n"));
        QVERIFY(QFile::exists(QString::fromLocal8Bit(cache.file("plenvo/content-hashes"))));
    }

    void theExecutableAnswersWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        arguments.replaceInStrings(u"@"_s, QStringLiteral(QT_TESTCASE_SOURCEDIR));
        QProcess plenvo;
        plenvo.setProcessChannelMode(QProcess::MergedChannels);
        start(plenvo, arguments,
              {{u"DISPLAY"_s, {}}, {u"WAYLAND_DISPLAY"_s, {}}, {u"QT_QPA_PLATFORM"_s, u"xcb"_s}});
        QVERIFY(plenvo.waitForFinished(20000));
        const QString text = QString::fromLocal8Bit(plenvo.readAll());
        QCOMPARE(plenvo.exitStatus(), QProcess::NormalExit);
        QCOMPARE(plenvo.exitCode(), exitCode);
        QVERIFY2(text.contains(output), qPrintable(text));
    }

    // An export written into the folder it scans leaves its own unfinished file out of the
    // scan; one that replaces a file keeps that file's permissions.
    void anExportIntoTheScannedFolder()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("a"), 10));
        const std::string out = dir.file("scan.json").toStdString();
        for (const mode_t mode : {0600, 0664}) {
            std::ofstream(out) << "before";
            QCOMPARE(::chmod(out.c_str(), mode), 0);
            QCOMPARE(HeadlessExport::run(out, dir.str(), "1"), 0);
            struct stat info;
            QCOMPARE(::stat(out.c_str(), &info), 0);
            QCOMPARE(info.st_mode & 07777, mode);
            const NcduReader::Outcome read = NcduReader::readFile(out);
            QVERIFY2(read.root, qPrintable(read.error.message()));
            QStringList names; // the file replaced was there when the folder was scanned
            for (const FileNode* child : read.root->children())
                names << child->name();
            names.sort();
            QCOMPARE(names, (QStringList{u"a"_s, u"scan.json"_s}));
        }
    }

    void becomingActiveLooksForExternalDeletions()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("a"), 10) && writeFile(dir.file("b"), 10));
        PlenvoApp app;
        AppState& state = app.state();
        state.scanDirectory(dir.str());
        QTRY_VERIFY(state.scanResult());
        QCOMPARE(::unlink(dir.file("a").constData()), 0);
        QMetaObject::invokeMethod(qGuiApp, "applicationStateChanged", Qt::DirectConnection,
                                  Q_ARG(Qt::ApplicationState, Qt::ApplicationActive));
        QTRY_COMPARE(state.scanResult()->totalFiles(), 1);
        QCOMPARE(state.contentRevision(), 2);
    }

    // The executable with a folder argument, until its window shows the result of the scan.
    void aFolderGivenOnTheCommandLineIsScannedAndShown()
    {
        const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
        if (xvfb.isEmpty())
            QSKIP("Xvfb is not installed, so no X server can be started (apt-get install xvfb)");
        const QString xwininfo = QStandardPaths::findExecutable(u"xwininfo"_s);
        QVERIFY2(!xwininfo.isEmpty(),
                 "xwininfo is needed to read window titles (apt-get install x11-utils)");
        // The server picks a free display itself and names it on its standard output, so that
        // test runs side by side never race for one.
        QProcess server;
        server.start(xvfb, u"-displayfd 1 -screen 0 1400x900x24 -nolisten tcp"_s.split(u' '));
        QString display;
        const auto named = [&] {
            display += QString::fromLatin1(server.readAllStandardOutput());
            return display.endsWith(u'\n');
        };
        if (!server.waitForStarted(10000) || !QTest::qWaitFor(named, 10000))
            QSKIP("the X server could not be started here");
        display = u':' + display.trimmed();

        ScratchDir dir;
        QVERIFY(makeDir(dir.file("photos")) && writeFile(dir.file("photos/holiday.jpg"), 200000));
        const QString folderName = QFileInfo(QString::fromLocal8Bit(dir.path())).fileName();
        QProcess app;
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        start(
            app, {QString::fromLocal8Bit(dir.path())},
            {{u"DISPLAY"_s, display}, {u"QT_QPA_PLATFORM"_s, u"xcb"_s}, {u"LANGUAGE"_s, u"en"_s}});
        QVERIFY2(app.waitForStarted(10000), qPrintable(app.errorString()));
        QString windows;
        const bool shown = QTest::qWaitFor(
            [&] {
                QProcess list;
                list.start(xwininfo, {u"-display"_s, display, u"-root"_s, u"-tree"_s});
                list.waitForFinished(5000);
                windows = QString::fromLocal8Bit(list.readAllStandardOutput());
                return windows.contains(folderName) && windows.contains(u"Plenvo"_s);
            },
            30000);
        const bool stillRunning = app.state() == QProcess::Running;
        app.terminate();
        app.waitForFinished(5000);
        server.terminate();
        server.waitForFinished(5000);
        QVERIFY2(stillRunning, "plenvo exited early");
        QVERIFY2(shown, qPrintable(u"no window titled with the folder; windows:\n"_s + windows));
    }
};

QTEST_MAIN(PlenvoAppTest)
#include "tst_plenvoapp.moc"
