// Locations as text for the desktop: the form pasted into a shell, and the folders opened for
// items that cannot be shown selected.

#include "utils/ContainingFolders.h"
#include "utils/ShellQuote.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <set>

using namespace plenvo;
using namespace Qt::StringLiterals;

class PathTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every byte but '/' and '\0' in a name, and random names made of controls, quotes,
    // backslashes, UTF-8 (C1 controls included) and bytes that are not UTF-8: a path with a
    // control character is quoted, and bash reads the quoted text back as the same bytes; any
    // other path is its plain text.
    void pastedPathsReadBackAsTheSameBytes()
    {
        std::vector<std::string> paths;
        for (int byte = 1; byte < 256; ++byte)
            if (byte != '/')
                paths.push_back("/t/a" + std::string(1, char(byte)) + "b");
        static const std::vector<std::string> pieces = {
            "\n", "\t", "\r", "\x01", "\x1b[31m", "\x7f", "\xc2\x85", "\xc2\x9b", "'", "\\",
            "\"", "$(id)", "`", " ", "~", "x", "\xc3\xa9", "\xe6\x97\xa5", "\xf0\x9f\x98\x80",
            "\xff", "\xc2", "\xe0\x80\x80", "\xed\xa0\x80", "\xf4\x90\x80\x80", "012", "a7"};
        QRandomGenerator random(19);
        for (int i = 0; i < 300; ++i) {
            std::string path = "/r";
            for (int n = 1 + int(random.bounded(8)); n > 0; --n)
                path += (random.bounded(4) == 0 ? "/" : "") +
                        pieces[random.bounded(quint32(pieces.size()))];
            paths.push_back(path);
        }
        QString script = u"printf '%s\\0'"_s;
        std::vector<std::string> quoted;
        for (const std::string& path : paths) {
            const QString text = ShellQuote::textFor(path);
            if (!ShellQuote::holdsControlCharacters(path)) {
                QCOMPARE(text, QString::fromUtf8(path.data(), qsizetype(path.size())));
                continue;
            }
            QVERIFY(text.startsWith(u"$'") && text.endsWith(u'\''));
            QVERIFY(std::none_of(text.cbegin(), text.cend(), [](QChar c) {
                return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f);
            }));
            script += u' ' + text;
            quoted.push_back(path);
        }
        QVERIFY(quoted.size() > 100);
        const QString bash = QStandardPaths::findExecutable(u"bash"_s);
        if (bash.isEmpty())
            QSKIP("bash is not installed here");
        QProcess shell;
        shell.start(bash, {u"-c"_s, script});
        QVERIFY(shell.waitForFinished(20000) && shell.exitCode() == 0);
        const QByteArrayList read = shell.readAllStandardOutput().split('\0');
        QCOMPARE(read.size(), qsizetype(quoted.size()) + 1);
        for (std::size_t i = 0; i < quoted.size(); ++i)
            QCOMPARE(read[qsizetype(i)].toStdString(), quoted[i]);
    }

    // Each folder once, in the order the items first name it, at most the limit of them; the
    // others are counted.
    void containingFoldersAreChosenOnceEach()
    {
        const std::pair<const char*, const char*> folders[] = {
            {"/home/ada/notes.txt", "/home/ada"}, {"/etc", "/"}, {"/m/dir/", "/m"},
            {"/x/bad\xff/f", "/x/bad\xff"}, {"/", "/"}};
        for (const auto& [path, folder] : folders)
            QCOMPARE(ContainingFolders::of(path), std::string_view(folder));

        QRandomGenerator random(5);
        for (int round = 0; round < 50; ++round) {
            std::vector<std::string> paths;
            std::vector<std::string> firstSeen;
            for (int n = int(random.bounded(40)); n > 0; --n) {
                const std::string folder = "/d" + std::to_string(random.bounded(12));
                paths.push_back(folder + "/f" + std::to_string(n));
                if (std::find(firstSeen.begin(), firstSeen.end(), folder) == firstSeen.end())
                    firstSeen.push_back(folder);
            }
            const std::size_t limit = random.bounded(6);
            const ContainingFolders::Choice choice = ContainingFolders::choose(paths, limit);
            const std::size_t kept = std::min(limit, firstSeen.size());
            QCOMPARE(choice.chosen,
                     std::vector<std::string>(firstSeen.begin(), firstSeen.begin() + kept));
            QCOMPARE(choice.leftOut, firstSeen.size() - kept);
        }
    }
};

QTEST_GUILESS_MAIN(PathTextTest)
#include "tst_pathtext.moc"
