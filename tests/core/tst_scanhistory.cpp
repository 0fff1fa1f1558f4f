// The history of scans: what a kept scan holds and where, the list, the limits, and saves that
// fail or are cancelled. Every test works in a private XDG_STATE_HOME.

#include "NcduTreeDump.h"
#include "TestSupport.h"
#include "TreeText.h"
#include "services/NcduReader.h"
#include "services/ScanHistory.h"

#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <fstream>

using namespace plenvo;
using namespace plenvo::test;
using Saved = ScanHistory::SaveOutcome::Status;

namespace {

// A scan of the folder /name made at `date` (milliseconds), with `files` files of 4096 bytes.
ScanTree scanOf(const std::string& name, std::int64_t date, int files = 3)
{
    std::string text = name + "#10(s#11(";
    for (int i = 0; i < files; ++i)
        text += (i ? ",f" : "f") + std::to_string(i) + ":4096";
    ScanTree scan = TreeText::parse(text + "))");
    scan.scanDate = date;
    return scan;
}

QStringList namesIn(const std::string& folder)
{
    return QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QList<qint64> datesOf(const std::vector<ScanHistory::Scan>& scans)
{
    QList<qint64> dates;
    for (const ScanHistory::Scan& scan : scans)
        dates << scan.scanDate;
    return dates;
}

int modeOf(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

} // namespace

class ScanHistoryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_state = std::make_unique<ScratchDir>();
        qputenv("XDG_STATE_HOME", m_state->file("state"));
        qputenv("HOME", m_state->file("home"));
    }

    // A kept scan is the whole tree, with its totals and the inodes of its folders, in a file
    // only the user can read, in folders only the user can enter; the list finds it.
    void aScanIsKept()
    {
        const std::string folder = m_state->str() + "/state/plenvo/scans";
        QCOMPARE(ScanHistory::defaultFolder(), folder);
        const ScanHistory history;
        const ScanTree scan = TreeText::parse("data#10(a:4096,s#11(\xff:8192),e#12())");
        const ScanHistory::SaveOutcome saved = history.save(scan);
        QCOMPARE(saved.status, Saved::saved);
        QCOMPARE(modeOf(saved.file), 0600);
        QCOMPARE(modeOf(folder), 0700);
        QCOMPARE(modeOf(m_state->str() + "/state/plenvo"), 0700);

        const NcduReader::Outcome read = NcduReader::readFile(saved.file);
        QCOMPARE(dumpTree(*read.root, read.facts.get()), dumpTree(*scan.root, scan.facts.get()));
        QCOMPARE(read.root->children()[1]->inode(), 11);
        QCOMPARE(read.root->children()[2]->inode(), 12);

        const std::vector<ScanHistory::Scan> scans = history.scans();
        QCOMPARE(scans.size(), std::size_t(1));
        QCOMPARE(scans[0].file, saved.file);
        QCOMPARE(scans[0].rootPath, "/data");
        QCOMPARE(scans[0].scanDate, scan.scanDate);
        QCOMPARE(scans[0].totalSize, 12288);
        QCOMPARE(scans[0].totalFiles, 2);
        QCOMPARE(scans[0].totalFolders, 3);
        QCOMPARE(scans[0].bytesOnDisk, QFileInfo(QString::fromStdString(saved.file)).size());

        // Without XDG_STATE_HOME, or with one that is not absolute: in the home folder.
        qputenv("XDG_STATE_HOME", "relative/state");
        QCOMPARE(ScanHistory::defaultFolder(), m_state->str() + "/home/.local/state/plenvo/scans");
    }

    // The last ten of each folder are kept; previous() finds the one before a date; two scans
    // made in the same millisecond are both kept.
    void tenScansOfEachFolder()
    {
        const ScanHistory history;
        for (int day = 1; day <= 12; ++day)
            QCOMPARE(history.save(scanOf("a", day * 1000)).status, Saved::saved);
        for (int day = 1; day <= 3; ++day)
            QCOMPARE(history.save(scanOf("b", day * 1000 + 1)).status, Saved::saved);
        QCOMPARE(datesOf(history.scansOf("/a")),
                 (QList<qint64>{12000, 11000, 10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000}));
        QCOMPARE(datesOf(history.scansOf("/b/")), (QList<qint64>{3001, 2001, 1001}));
        QCOMPARE(history.scans().size(), std::size_t(13));
        QCOMPARE(history.previous("/a", 9500)->scanDate, 9000);
        QCOMPARE(history.previous("/a", 3000), std::nullopt);
        QCOMPARE(history.previous("/c", 9500), std::nullopt);

        const ScanHistory::SaveOutcome same = history.save(scanOf("b", 3001));
        QCOMPARE(same.status, Saved::saved);
        QCOMPARE(datesOf(history.scansOf("/b")), (QList<qint64>{3002, 3001, 2001, 1001}));
    }

    // At most so many bytes in all, the oldest removed first, whatever folder they are of; a
    // scan larger than that alone is not kept.
    void theSpaceIsCapped()
    {
        const std::string folder = m_state->str() + "/capped";
        const ScanHistory unlimited(folder);
        const std::int64_t size = unlimited.save(scanOf("a", 1000, 50)).status == Saved::saved
                                      ? unlimited.scans()[0].bytesOnDisk
                                      : 0;
        QVERIFY(size > 0);
        QCOMPARE(unlimited.removeAll().removed, 1);

        const ScanHistory history(folder, ScanHistory::kScansPerFolder, 3 * size + size / 2);
        QCOMPARE(history.save(scanOf("a", 1000, 50)).status, Saved::saved);
        QCOMPARE(history.save(scanOf("b", 2000, 50)).status, Saved::saved);
        QCOMPARE(history.save(scanOf("a", 3000, 50)).status, Saved::saved);
        const ScanHistory::SaveOutcome fourth = history.save(scanOf("c", 4000, 50));
        QCOMPARE(fourth.status, Saved::saved);
        QCOMPARE(fourth.removed.size(), std::size_t(1));
        QCOMPARE(datesOf(history.scans()), (QList<qint64>{4000, 3000, 2000}));

        const ScanHistory::SaveOutcome huge = history.save(scanOf("d", 5000, 5000));
        QCOMPARE(huge.status, Saved::failed);
        QVERIFY(!huge.error.isEmpty());
        QCOMPARE(datesOf(history.scans()).size(), 0); // all older, so all removed first
        QCOMPARE(namesIn(folder), QStringList());
    }

    // A failed save leaves nothing behind and keeps what was kept: a folder that cannot be
    // made, a disk that is full (a file-size limit stands in for it), a cancelled save.
    void failedSavesLeaveNothing()
    {
        std::ofstream(m_state->str() + "/blocked") << "a file where the folder should be";
        const ScanHistory blocked(m_state->str() + "/blocked/scans");
        const ScanHistory::SaveOutcome notMade = blocked.save(scanOf("a", 1000));
        QCOMPARE(notMade.status, Saved::failed);
        QVERIFY(notMade.error.contains(QStringLiteral("blocked")));
        QVERIFY(blocked.scans().empty());

        const ScanHistory history;
        QCOMPARE(history.save(scanOf("a", 1000)).status, Saved::saved);
        const QStringList before = namesIn(history.folder());

        rlimit previous{};
        ::getrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{4096, previous.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
        const ScanHistory::SaveOutcome full = history.save(scanOf("a", 2000, 20000));
        ::setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, SIG_DFL);
        QCOMPARE(full.status, Saved::failed);
        QVERIFY(!full.error.isEmpty());
        QCOMPARE(namesIn(history.folder()), before);

        const CancellationToken token = CancellationToken::create();
        token.cancel();
        QCOMPARE(history.save(scanOf("a", 3000, 20000), token).status, Saved::cancelled);
        QCOMPARE(namesIn(history.folder()), before);
        QCOMPARE(datesOf(history.scans()), QList<qint64>{1000});
    }

    // A damaged file of the history is left out of the list, and a file that is not ours out
    // of everything; removing everything removes all of ours, damaged or left by a save that
    // was interrupted, and only ours.
    void damagedAndForeignFiles()
    {
        const ScanHistory history;
        QCOMPARE(history.save(scanOf("a", 1000)).status, Saved::saved);
        const std::string folder = history.folder();
        std::ofstream(folder + "/0000000002000-0123456789abcdef.json.gz") << "not an export";
        std::ofstream(folder + "/0000000003000-0123456789abcdef.json.gz.1a2b3c4d.part") << "[1,";
        std::ofstream(folder + "/notes.txt") << "mine";
        QCOMPARE(datesOf(history.scans()), QList<qint64>{1000});

        const ScanHistory::RemoveOutcome removed = history.removeAll();
        QCOMPARE(removed.removed, 3);
        QVERIFY(removed.error.isEmpty());
        QCOMPARE(namesIn(folder), QStringList{"notes.txt"});
        QVERIFY(history.scans().empty());

        QCOMPARE(::unlink((folder + "/notes.txt").c_str()), 0);
        QCOMPARE(history.removeAll().removed, 0);
        QVERIFY(!QFileInfo::exists(QString::fromStdString(folder)));
    }

private:
    std::unique_ptr<ScratchDir> m_state;
};

QTEST_GUILESS_MAIN(ScanHistoryTest)
#include "tst_scanhistory.moc"
