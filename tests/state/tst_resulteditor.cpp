// Changes to a published result: moves to the Trash (one item, batches, folders, items that are
// no longer what was scanned), undo, and the one policy that says when a move may start. An
// oracle compares the edited result with a fresh scan of the disk after random moves and undos.

#include "FakeTrash.h"
#include "StateFixture.h"
#include "TestSupport.h"

#include "AppState.h"
#include "GioTrash.h"
#include "utils/Localization.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

#include <sys/mount.h>

using namespace plenvo;
using namespace plenvo::test;

namespace {

// The real Trash, refusing the paths it was told to refuse, as a Trash that cannot take an
// item does.
class RefusingTrash final : public Trash {
public:
    Moved moveToTrash(const EntryIdentity& item) override
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_refused.count(item.path()))
                return {MoveStatus::refused, {}};
        }
        return m_real.moveToTrash(item);
    }
    RestoreStatus restore(const EntryIdentity& item, const Ticket& ticket) override
    {
        return m_real.restore(item, ticket);
    }
    void refuseOnly(std::set<std::string> paths)
    {
        std::lock_guard lock(m_mutex);
        m_refused = std::move(paths);
    }

private:
    GioTrash m_real;
    std::mutex m_mutex;
    std::set<std::string> m_refused;
};

void dumpTree(const FileNode& node, int depth, std::ostringstream& out)
{
    out << std::string(std::size_t(depth) * 2, ' ') << node.nameBytes() << (node.isDirectory() ? "/" : "")
        << ' ' << node.cachedSize() << ' ' << node.cachedFileCount() << ' '
        << node.cachedDirCount() << ' ' << node.cachedFoldersOwnSize() << '\n';
    std::vector<const FileNode*> children;
    for (const FileNode* child : node.children())
        children.push_back(child);
    std::sort(children.begin(), children.end(), [](const FileNode* a, const FileNode* b) {
        return a->nameBytes() < b->nameBytes();
    });
    for (const FileNode* child : children)
        dumpTree(*child, depth + 1, out);
}

void dumpList(const char* title, const std::vector<NodeRef>& files, std::ostringstream& out)
{
    out << title << ':';
    for (const NodeRef& file : files)
        out << ' ' << file->nameBytes() << '=' << file->fileSize();
    out << '\n';
}

// Everything a result shows, in a form two results can be compared in: the tree (children by
// name), the totals, the statistics of each category, the ordered lists, and the set of files.
std::string describe(const ScanResult& result)
{
    std::ostringstream out;
    out << "total " << result.totalSize() << ' ' << result.totalFiles() << ' '
        << result.totalDirectories() << ' ' << result.foldersOwnSize() << '\n';
    dumpTree(*result.rootNode(), 0, out);
    std::vector<CategoryStat> stats = result.categoryStat();
    std::sort(stats.begin(), stats.end(), [](const CategoryStat& a, const CategoryStat& b) {
        return a.category.index() < b.category.index();
    });
    for (const CategoryStat& stat : stats)
        out << "stat " << stat.category.index() << ' ' << stat.totalSize << ' ' << stat.fileCount
            << '\n';
    dumpList("top", result.topFiles(), out);
    for (FileCategory category : FileCategory::allCases())
        if (!result.files(category).empty())
            dumpList(qPrintable(category.rawValue()), result.files(category), out);
    std::vector<std::string> paths;
    for (const NodeRef& file : result.allFiles())
        paths.push_back(file->pathBytes());
    std::sort(paths.begin(), paths.end());
    for (const std::string& path : paths)
        out << "file " << path << '\n';
    return out.str();
}

std::string freshScan(const std::string& path)
{
    DiskScanner::Outcome outcome = DiskScanner().scanNow(path, {});
    return describe(ScanResult(outcome.root, 0, path));
}

// All nodes below the root, depth first.
std::vector<NodeRef> nodesBelow(const NodeRef& root)
{
    std::vector<NodeRef> nodes;
    std::vector<NodeRef> stack{root};
    while (!stack.empty()) {
        const NodeRef node = stack.back();
        stack.pop_back();
        if (node != root)
            nodes.push_back(node);
        for (const FileNode* child : node->children())
            stack.emplace_back(child);
    }
    return nodes;
}

} // namespace

class ResultEditorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        // A private Trash beside the fixtures (same file system, not /tmp).
        m_dataHome.reset(new ScratchDir);
        qputenv("XDG_DATA_HOME", m_dataHome->path());
    }

    // A move updates the tree, the statistics, the candidates and the duplicate groups, and
    // offers its undo. One the Trash refuses changes nothing, the selection included; an item
    // that is no longer the scanned one is not moved and leaves the result. The selection moves
    // on only from what left: to the first candidate that stays, else the largest file.
    void aMoveChangesEverythingOnlyForWhatLeft()
    {
        Fixture f;
        QVERIFY(f.ok);
        const NodeRef victim = f.node(3);
        const FileNode* parent = victim->parent();
        const qint64 parentSize = parent->cachedSize();
        const qint64 rootSize = f.state.scanResult()->totalSize();
        const qint64 revision = f.state.contentRevision();
        f.state.setInspectorCandidateNodes({f.node(1), victim, f.node(2)});
        f.state.setSelectedNode(f.node(0));
        DuplicateFinder::DuplicateGroup pair, triple;
        pair.files = {victim, f.node(1)};
        triple.files = {f.node(2), victim, f.node(4)};
        f.state.setDuplicateGroups({pair, triple});
        QSignalSpy removed(&f.state.editor(), &ResultEditor::removed);
        QVERIFY(f.move({victim}));
        QCOMPARE(f.fake().requests(), std::vector<std::string>{victim->pathBytes()});
        QCOMPARE(victim->parent(), nullptr);
        QCOMPARE(parent->cachedSize(), parentSize - victim->fileSize());
        QCOMPARE(f.state.scanResult()->totalSize(), rootSize - victim->fileSize());
        QVERIFY(!contains(f.state.scanResult()->allFiles(), victim));
        QCOMPARE(f.state.inspectorCandidateNodes(), (std::vector<NodeRef>{f.node(1), f.node(2)}));
        QCOMPARE(f.state.contentRevision(), revision + 1);
        QCOMPARE(f.state.selectedNode(), f.node(0));
        QCOMPARE(f.state.toastMessage(), L("delete.done.single %@", compact(victim->fileSize())));
        QVERIFY(f.state.toastOffersUndo() && f.state.editor().canUndo());
        QCOMPARE(f.state.duplicateGroups().size(), 1u);
        QCOMPARE(f.state.duplicateGroups()[0].files, (std::vector<NodeRef>{f.node(2), f.node(4)}));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed[0][0].value<NodeIdSet>(), NodeIdSet{victim->id()});

        // Refused: nothing changes, and the selection stays on the file that is still there.
        const NodeRef kept = f.node(2);
        f.fake().refuse(kept->pathBytes());
        f.state.setSelectedNode(kept);
        QVERIFY(f.move({kept}));
        QVERIFY(kept->parent() && contains(f.state.scanResult()->allFiles(), kept));
        QCOMPARE(f.state.contentRevision(), revision + 1);
        QCOMPARE(f.state.selectedNode(), kept);
        QCOMPARE(f.state.toastMessage(), L("delete.failed %@", QStringLiteral("f2")));
        QVERIFY(!f.state.toastOffersUndo() && f.state.editor().canUndo()); // the last move still

        // No longer the scanned item: not counted as freed, gone from the result.
        const NodeRef changed = f.node(4);
        f.fake().change(changed->pathBytes());
        QVERIFY(f.move({changed}));
        QVERIFY(!changed->parent() && !contains(f.state.scanResult()->allFiles(), changed));
        QCOMPARE(f.state.toastMessage(), L("delete.changed %@", QStringLiteral("f4")));
        QCOMPARE(f.state.contentRevision(), revision + 2);

        // The selection moves to the first candidate that stays, not the row after the one
        // that went; without candidates, to the largest file that stays.
        f.state.setInspectorCandidateNodes({f.node(0), f.node(1), f.node(2)});
        f.state.setSelectedNode(f.node(1));
        QVERIFY(f.move({f.node(1)}));
        QCOMPARE(f.state.selectedNode(), f.node(0));
        f.state.setInspectorCandidateNodes({});
        f.state.setSelectedNode(f.node(0));
        QVERIFY(f.move({f.node(0)}));
        QCOMPARE(f.state.selectedNode(), f.state.scanResult()->topFiles().front());
    }

    // A batch moves one item at a time, in order, reports its progress, and holds the one
    // policy meanwhile: no second move, no undo, no export. A failed item keeps its place and
    // the selection on it.
    void aBatchReportsProgressAndHoldsThePolicy()
    {
        Fixture f(4);
        const NodeRef a = f.node(0), b = f.node(1), c = f.node(2), d = f.node(3);
        f.fake().refuse(b->pathBytes());
        using P = std::tuple<bool, qint64, qint64>;
        std::vector<P> progress;
        connect(&f.state, &AppState::deleteProgressChanged, this, [&] {
            progress.emplace_back(f.state.isDeleting(), f.state.deleteCount(),
                                  f.state.deleteTotalCount());
        });
        QSignalSpy policy(&f.state.editor(), &ResultEditor::policyChanged);
        QVERIFY(!f.state.editor().moveToTrash({}));
        f.state.setSelectedNode(b);
        f.state.setInspectorCandidateNodes({a, b, c});
        f.fake().hold();
        QVERIFY(f.state.editor().moveToTrash({a, b, c}));
        QCOMPARE(f.state.editor().trashRefusal(), ResultEditor::Refusal::busy);
        QCOMPARE(f.state.editor().refusalReason(), L("delete.busy"));
        QVERIFY(!f.state.editor().moveToTrash({d}) && !f.state.editor().canUndo());
        QVERIFY(!f.state.exportScan(f.dir.file("out.json").toStdString()));
        QCOMPARE(policy.count(), 1);
        f.fake().release(3);
        QVERIFY(settleEdits(f.state));
        QCOMPARE(progress,
                 (std::vector<P>{
                     {true, 0, 3}, {true, 1, 3}, {true, 2, 3}, {true, 3, 3}, {false, 0, 0}}));
        QCOMPARE(f.fake().requests(),
                 (std::vector<std::string>{a->pathBytes(), b->pathBytes(), c->pathBytes()}));
        QCOMPARE(f.state.toastMessage(), L("delete.done.batchWithFailures %lld %@ %lld", qint64(2),
                                           compact(a->fileSize() + c->fileSize()), qint64(1)));
        QVERIFY(b->parent() && contains(f.state.scanResult()->topFiles(), b));
        QCOMPARE(f.state.scanResult()->totalFiles(), 2);
        QCOMPARE(f.state.inspectorCandidateNodes(), std::vector<NodeRef>{b});
        QCOMPARE(f.state.selectedNode(), b);
        QVERIFY(f.state.editor().canMoveToTrash() && f.state.editor().canUndo());
        QCOMPARE(policy.count(), 2);
    }

    // A folder leaves with every file below it, from every list and statistic, and comes back
    // with them. Undo puts back what is still in the Trash and free to return, names the rest,
    // and is gone once another result replaces this one.
    void foldersAndUndo()
    {
        Fixture f(6);
        QVERIFY(f.ok);
        const ScanResult& result = *f.state.scanResult();
        const std::string before = describe(result);
        const NodeRef sub = f.find("sub");
        QVERIFY(f.move({sub, f.node(1)})); // f1 is in sub: it goes with it
        QCOMPARE(f.fake().requests(), std::vector<std::string>{sub->pathBytes()});
        QCOMPARE(result.totalFiles(), 3);
        QCOMPARE(result.totalDirectories(), 1);
        for (const NodeRef& file : result.topFiles())
            QVERIFY(!file->isWithin(*sub));
        QCOMPARE(result.categoryStat().front().fileCount, 3);

        QSignalSpy restored(&f.state.editor(), &ResultEditor::restored);
        QVERIFY(f.undo());
        QCOMPARE(f.fake().restores(), std::vector<std::string>{sub->pathBytes()});
        QCOMPARE(describe(result), before);
        QCOMPARE(restored.count(), 1);
        QCOMPARE(f.state.toastMessage(), L("undo.done.single %@", QStringLiteral("sub")));
        QVERIFY(!f.state.editor().canUndo());

        // One place taken, one no longer in the Trash: both named, neither back.
        f.fake().answerRestore(f.node(0)->pathBytes(), Trash::RestoreStatus::taken);
        f.fake().answerRestore(f.node(2)->pathBytes(), Trash::RestoreStatus::notInTrash);
        const NodeRef n0 = f.node(0), n2 = f.node(2), n4 = f.node(4);
        QVERIFY(f.move({n0, n2, n4}));
        QVERIFY(f.undo());
        QVERIFY(!n0->parent() && !n2->parent() && n4->parent());
        QCOMPARE(f.state.toastMessage(),
                 L("undo.done %lld", qint64(1)) + QStringLiteral(" \u00b7 ") +
                     L("undo.taken %@", QStringLiteral("f0")) + QStringLiteral(" \u00b7 ") +
                     L("undo.notInTrash %@", QStringLiteral("f2")));
        QCOMPARE(result.totalFiles(), 4);

        QVERIFY(f.move({n4}) && f.state.editor().canUndo());
        QVERIFY(scanAndWait(f.state, f.dir.path()));
        QVERIFY(!f.state.editor().canUndo() && !f.state.editor().undo());
    }

    // A file with several names counts once: when the name that counts it goes, the space
    // stays under the next name, and nothing is said to be freed; it is freed once the last
    // name goes. A name put back counts nothing while another counts the file.
    void hardLinksCountOnceWhicheverNameGoes()
    {
        Fixture f(0);
        QVERIFY(makeDir(f.dir.file("a")) && makeDir(f.dir.file("b")));
        QVERIFY(writeFile(f.dir.file("a/one.bin"), 20000));
        QCOMPARE(::link(f.dir.file("a/one.bin").constData(), f.dir.file("b/two.bin").constData()),
                 0);
        QVERIFY(writeFile(f.dir.file("other.txt"), 100));
        QVERIFY(scanAndWait(f.state, f.dir.path()));
        const ScanResult& result = *f.state.scanResult();
        const qint64 total = result.totalSize();
        NodeRef counted = f.find("one.bin"), other = f.find("two.bin");
        if (counted->fileSize() == 0)
            std::swap(counted, other);
        const qint64 size = counted->fileSize();
        QVERIFY(size > 0 && other->fileSize() == 0);

        QVERIFY(f.move({counted}));
        QCOMPARE(other->fileSize(), size);
        QCOMPARE(other->parent()->cachedSize(), size);
        QCOMPARE(result.totalSize(), total);
        QCOMPARE(result.topFiles().front(), other);
        QCOMPARE(f.state.toastMessage(), L("delete.done.single %@", compact(0)));

        QVERIFY(f.undo());
        QCOMPARE(counted->fileSize(), 0);
        QCOMPARE(result.totalSize(), total);

        QVERIFY(f.move({counted, other}));
        QCOMPARE(result.totalSize(), total - size);
        QCOMPARE(f.state.toastMessage(),
                 L("delete.done.batch %lld %@", qint64(2), compact(size)));
    }

    // After random moves (files and folders, one or several, some refused) and undos on the
    // real Trash, the tree and every statistic are those of a fresh scan of the disk.
    void randomEditsMatchAFreshScan()
    {
        ScratchDir dir;
        QRandomGenerator random(20261207);
        const char* extensions[] = {".jpg", ".txt", ".mp4", ".zip", ".cpp", ""};
        std::vector<QByteArray> folders{dir.path()};
        for (int i = 0; i < 8; ++i) {
            const QByteArray folder =
                folders[random.bounded(int(folders.size()))] + "/d" + QByteArray::number(i);
            QVERIFY(makeDir(folder));
            folders.push_back(folder);
        }
        for (int i = 0; i < 60; ++i) {
            const QByteArray name = folders[random.bounded(int(folders.size()))] + "/file" +
                                    QByteArray::number(i) +
                                    extensions[random.bounded(int(std::size(extensions)))];
            QVERIFY(writeFile(name, random.bounded(1, 30000)));
        }
        auto trash = std::make_shared<RefusingTrash>();
        AppState state(trash);
        QVERIFY(scanAndWait(state, dir.path()));
        const ScanResult& result = *state.scanResult();
        for (int step = 0; step < 30; ++step) {
            if (state.editor().canUndo() && random.bounded(3) == 0) {
                QVERIFY(state.editor().undo() && settleEdits(state));
            } else {
                std::vector<NodeRef> nodes = nodesBelow(result.rootNode());
                if (nodes.empty())
                    break;
                std::vector<NodeRef> chosen;
                std::set<std::string> refused;
                const int count = random.bounded(4) == 0 ? random.bounded(2, 5) : 1;
                for (int k = 0; k < count; ++k) {
                    const NodeRef& node = nodes[random.bounded(int(nodes.size()))];
                    chosen.push_back(node);
                    if (random.bounded(5) == 0)
                        refused.insert(node->pathBytes());
                }
                trash->refuseOnly(refused);
                QVERIFY(state.editor().moveToTrash(chosen) && settleEdits(state));
            }
            QCOMPARE(describe(result), freshScan(dir.str()));
        }
    }

    // The real Trash: an item goes only while its path still names what was scanned, and comes
    // back byte for byte, never over something that took its place.
    void theRealTrashTakesOnlyTheScannedItemAndGivesItBack()
    {
        Fixture f(0, std::make_shared<GioTrash>());
        const QByteArray odd("caf\xE9\xFF.bin");
        QVERIFY(writeFile(f.dir.file(odd), 3000) && writeFile(f.dir.file("taken.txt"), 100) &&
                writeFile(f.dir.file("victim.bin"), 7000) &&
                writeFile(f.dir.file("renewed.bin"), 100) && makeDir(f.dir.file("nest")) &&
                writeFile(f.dir.file("nest/inner.txt"), 100) && makeDir(f.dir.file("elsewhere")) &&
                writeFile(f.dir.file("elsewhere/inner.txt"), 100));
        QVERIFY(scanAndWait(f.state, f.dir.path()));
        const QByteArray trash = m_dataHome->path() + "/Trash";

        // Not UTF-8: the record holds the exact bytes, and undo brings them back.
        const NodeRef oddNode = f.find(odd.toStdString());
        QVERIFY(f.move({oddNode}));
        QCOMPARE(::access(f.dir.file(odd).constData(), F_OK), -1);
        std::ifstream info((trash + "/info/" + odd + ".trashinfo").toStdString());
        const std::string text{std::istreambuf_iterator<char>(info), {}};
        QVERIFY2(text.find("Path=" + f.dir.file(odd).toPercentEncoding("/").toStdString()) !=
                     std::string::npos,
                 text.c_str());
        QVERIFY(f.undo());
        QCOMPARE(allocatedSize(f.dir.file(odd)), oddNode->fileSize());
        QVERIFY(contains(f.state.scanResult()->allFiles(), oddNode));
        QCOMPARE(::access((trash + "/info/" + odd + ".trashinfo").constData(), F_OK), -1);

        // A new file took the old one's place: undo leaves both where they are.
        QVERIFY(f.move({f.find("taken.txt")}));
        QVERIFY(writeFile(f.dir.file("taken.txt"), 9000));
        QVERIFY(f.undo());
        QCOMPARE(QFileInfo(QString::fromLocal8Bit(f.dir.file("taken.txt"))).size(), 9000);
        QCOMPARE(::access((trash + "/files/taken.txt").constData(), F_OK), 0);
        QCOMPARE(f.state.toastMessage(), L("undo.done %lld", qint64(0)) +
                                             QStringLiteral(" \u00b7 ") +
                                             L("undo.taken %@", QStringLiteral("taken.txt")));

        // Replaced by a folder, by a new file, or below a folder a link took the place of:
        // nothing is moved, and the scanned item leaves the result as deleted elsewhere.
        QCOMPARE(::unlink(f.dir.file("victim.bin").constData()), 0);
        QVERIFY(makeDir(f.dir.file("victim.bin")) && writeFile(f.dir.file("victim.bin/keep"), 5));
        QVERIFY(writeFile(f.dir.file("renewed.new"), 100));
        QCOMPARE(::rename(f.dir.file("renewed.new").constData(),
                          f.dir.file("renewed.bin").constData()),
                 0);
        QCOMPARE(::rename(f.dir.file("nest").constData(), f.dir.file("nest-old").constData()), 0);
        QCOMPARE(::symlink("elsewhere", f.dir.file("nest").constData()), 0);
        const NodeRef victim = f.find("victim.bin"), renewed = f.find("renewed.bin"),
                      inner = findNode(f.find("nest"), "inner.txt");
        const qint64 files = f.state.scanResult()->totalFiles();
        QVERIFY(f.move({victim, renewed, inner}));
        QCOMPARE(::access(f.dir.file("victim.bin/keep").constData(), F_OK), 0);
        QCOMPARE(::access(f.dir.file("renewed.bin").constData(), F_OK), 0);
        QCOMPARE(::access(f.dir.file("elsewhere/inner.txt").constData(), F_OK), 0);
        QCOMPARE(::access(f.dir.file("nest-old/inner.txt").constData(), F_OK), 0);
        QCOMPARE(f.state.scanResult()->totalFiles(), files - 3);
        QCOMPARE(f.state.toastMessage(),
                 L("delete.done.batch %lld %@", qint64(0), compact(0)) +
                     QStringLiteral(" \u00b7 ") + L("delete.changedCount %lld", qint64(3)));
    }

    // Where there is no Trash (tmpfs), GIO refuses: the file stays, and so does the selection.
    void aRefusedMoveKeepsTheFileAndTheSelection()
    {
        Fixture f(0, std::make_shared<GioTrash>());
        const QByteArray mnt = f.dir.file("mnt");
        QVERIFY(makeDir(mnt) && writeFile(f.dir.file("a.txt"), 100));
        if (::mount("none", mnt.constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("mounting is not permitted here, so there is no file system without a Trash");
        const auto unmount = qScopeGuard([&] { ::umount2(mnt.constData(), MNT_DETACH); });
        QVERIFY(writeFile(mnt + "/keep.txt", 100));
        QVERIFY(scanAndWait(f.state, f.dir.path()));
        const NodeRef keep = f.find("keep.txt");
        f.state.setInspectorCandidateNodes({keep, f.find("a.txt")});
        f.state.setSelectedNode(keep);
        QVERIFY(f.move({keep}));
        QCOMPARE(::access((mnt + "/keep.txt").constData(), F_OK), 0);
        QCOMPARE(f.state.toastMessage(), L("delete.failed %@", QStringLiteral("keep.txt")));
        QCOMPARE(f.state.selectedNode(), keep);
        QCOMPARE(f.state.scanResult()->totalFiles(), 2);
    }

private:
    std::unique_ptr<ScratchDir> m_dataHome;
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ResultEditorTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_resulteditor.moc"
