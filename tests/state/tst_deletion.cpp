#include "FakeTrash.h"
#include "StateTestSupport.h"

#include "GioTrash.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QSignalSpy>

#include <sys/mount.h>

using namespace plenvo;
using namespace plenvo::test;

namespace {

// A folder of files named f0 .. f(n-1), sizes growing, in a scanned state.
struct Fixture {
    explicit Fixture(int files = 5, std::shared_ptr<Trash> trash = nullptr)
        : trash(trash ? trash : std::make_shared<FakeTrash>()), state(this->trash)
    {
        makeDir(dir.file("sub"));
        for (int i = 0; i < files; ++i)
            writeFile(dir.file((i % 2 ? "sub/f" : "f") + QByteArray::number(i)), 5000 * (i + 1));
        ok = scanAndWait(state, dir.path());
    }
    NodeRef node(int i) const
    {
        return findNode(state.scanResult()->rootNode(), "f" + std::to_string(i));
    }
    FakeTrash& fake() { return static_cast<FakeTrash&>(*trash); }

    ScratchDir dir;
    std::shared_ptr<Trash> trash;
    AppState state;
    bool ok = false;
};

} // namespace

class DeletionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        // A private Trash beside the fixtures (same file system, not /tmp).
        m_dataHome.reset(new ScratchDir);
        qputenv("XDG_DATA_HOME", m_dataHome->path());
    }

    void aSingleMoveUpdatesEverything()
    {
        Fixture f;
        QVERIFY(f.ok);
        const NodeRef victim = f.node(3);
        const FileNode* parent = victim->parent();
        const qint64 parentSize = parent->cachedSize();
        const qint64 rootSize = f.state.scanResult()->totalSize();
        f.state.setInspectorCandidateNodes({f.node(1), victim, f.node(2)});
        f.state.setSelectedNode(f.node(0));
        f.state.deleteFile(victim);
        QCOMPARE(f.fake().requests(), std::vector<std::string>{victim->pathBytes()});
        QCOMPARE(victim->parent(), nullptr);
        QCOMPARE(parent->cachedSize(), parentSize - victim->fileSize());
        QCOMPARE(f.state.scanResult()->totalSize(), rootSize - victim->fileSize());
        QVERIFY(!contains(f.state.scanResult()->allFiles(), victim));
        QVERIFY(!contains(f.state.scanResult()->topFiles(), victim));
        QVERIFY(!contains(f.state.inspectorCandidateNodes(), victim));
        QCOMPARE(f.state.inspectorCandidateNodes().size(), 2u);
        QCOMPARE(f.state.contentRevision(), 2);
        QCOMPARE(f.state.selectedNode(), f.node(0)); // not the deleted one: unchanged
        QCOMPARE(f.state.toastMessage(),
                 std::optional(L("delete.done.single %@",
                                 FormatUtils::formatBytesCompact(victim->fileSize()))));
        QVERIFY(!f.state.isDeleting());
    }

    void aRefusedSingleMoveChangesNothing()
    {
        Fixture f;
        const NodeRef victim = f.node(2);
        f.fake().refuse(victim->pathBytes());
        f.state.setSelectedNode(victim);
        f.state.deleteFile(victim);
        QVERIFY(victim->parent());
        QVERIFY(contains(f.state.scanResult()->allFiles(), victim));
        QCOMPARE(f.state.contentRevision(), 1);
        QCOMPARE(f.state.selectedNode(), victim);
        QCOMPARE(f.state.toastMessage(),
                 std::optional(L("delete.failed %@", QStringLiteral("f2"))));
    }

    void theSelectionMovesToASensibleNeighbour()
    {
        Fixture f(6);
        // The first surviving candidate, not the row after the deleted one.
        f.state.setInspectorCandidateNodes({f.node(0), f.node(1), f.node(2)});
        f.state.setSelectedNode(f.node(1));
        f.state.deleteFile(f.node(1));
        QCOMPARE(f.state.selectedNode(), f.node(0));

        // No candidates left: the largest surviving file.
        f.state.setInspectorCandidateNodes({});
        f.state.setSelectedNode(f.node(5));
        f.state.deleteFile(f.node(5));
        QCOMPARE(f.state.selectedNode(), f.node(4));

        // No result at all: nothing.
        AppState bare(std::make_shared<FakeTrash>());
        NodeRef lone = FileNode::create("lone", "/x/lone", false, 1, {}, {});
        bare.setSelectedNode(lone);
        bare.deleteFile(lone);
        QVERIFY(!bare.selectedNode());
    }

    void aBatchReportsProgressAndFailures()
    {
        Fixture f(4);
        const NodeRef a = f.node(0), b = f.node(1), c = f.node(2), d = f.node(3);
        f.fake().refuse(b->pathBytes());
        std::vector<std::tuple<bool, qint64, qint64>> progress;
        connect(&f.state, &AppState::deleteProgressChanged, this, [&] {
            progress.emplace_back(f.state.isDeleting(), f.state.deleteCount(),
                                  f.state.deleteTotalCount());
        });
        f.state.setSelectedNode(a);
        f.state.setInspectorCandidateNodes({a, b, c});
        f.state.deleteFiles({a, b, c});
        QVERIFY(f.state.isDeleting());
        QTRY_VERIFY(!f.state.isDeleting());
        using P = std::tuple<bool, qint64, qint64>;
        QCOMPARE(progress,
                 (std::vector<P>{
                     {true, 0, 3}, {true, 1, 3}, {true, 2, 3}, {true, 3, 3}, {false, 0, 0}}));
        QCOMPARE(f.state.toastMessage(),
                 std::optional(L("delete.done.batchWithFailures %lld %@ %lld", qint64(2),
                                 FormatUtils::formatBytesCompact(a->fileSize() + c->fileSize()),
                                 qint64(1))));
        QVERIFY(b->parent());
        QVERIFY(contains(f.state.scanResult()->allFiles(), b));
        QVERIFY(contains(f.state.scanResult()->topFiles(), b));
        QVERIFY(!contains(f.state.scanResult()->allFiles(), a));
        QCOMPARE(f.state.scanResult()->totalFiles(), 2);
        QCOMPARE(f.state.contentRevision(), 2);
        QCOMPARE(f.state.inspectorCandidateNodes(), std::vector<NodeRef>{b});
        // The replacement was chosen when the batch started, outside everything it named:
        // the largest file that was not part of it.
        QCOMPARE(f.state.selectedNode(), d);
        // One move at a time, in the given order.
        QCOMPARE(f.fake().requests(),
                 (std::vector<std::string>{a->pathBytes(), b->pathBytes(), c->pathBytes()}));
    }

    void batchesOfNoneOneAndOneTooMany()
    {
        Fixture f(4);
        QSignalSpy deleting(&f.state, &AppState::deleteProgressChanged);
        f.state.deleteFiles({});
        QCOMPARE(deleting.count(), 0);
        QVERIFY(!f.state.toastMessage());

        // One node: no banner, the single-item message.
        const qint64 size = f.node(0)->fileSize();
        f.state.deleteFiles({f.node(0)});
        QCOMPARE(deleting.count(), 0);
        QCOMPARE(f.state.toastMessage(),
                 std::optional(L("delete.done.single %@", FormatUtils::formatBytesCompact(size))));
        QCOMPARE(f.state.scanResult()->totalFiles(), 3);

        // While a batch runs, another one (even of one node) is ignored.
        f.fake().hold();
        f.state.deleteFiles({f.node(1), f.node(2)});
        f.state.deleteFiles({f.node(3)});
        f.state.deleteFiles({f.node(3), f.node(1)});
        f.fake().release(2);
        QTRY_VERIFY(!f.state.isDeleting());
        QCOMPARE(f.fake().requests().size(), 3u); // the single one and the first batch
        QVERIFY(f.node(3));
        QCOMPARE(f.state.scanResult()->totalFiles(), 1);
        QCOMPARE(f.state.contentRevision(), 3);
    }

    void duplicateGroupsArePruned()
    {
        Fixture f(4);
        using Group = DuplicateFinder::DuplicateGroup;
        Group pair;
        pair.files = {f.node(0), f.node(1)};
        Group triple;
        triple.files = {f.node(2), f.node(0), f.node(3)};
        const QUuid tripleId = triple.id;
        f.state.setDuplicateGroups({pair, triple});
        f.state.deleteFile(f.node(0));
        QCOMPARE(f.state.duplicateGroups().size(), 1u);
        QCOMPARE(f.state.duplicateGroups()[0].id, tripleId);
        QCOMPARE(f.state.duplicateGroups()[0].files, (std::vector<NodeRef>{f.node(2), f.node(3)}));
    }

    void realMovesGoToThePrivateTrash()
    {
        Fixture f(0, std::make_shared<GioTrash>());
        const QByteArray plain("report final.txt");
        const QByteArray odd("caf\xE9\xFF.bin");
        QVERIFY(writeFile(f.dir.file(plain), 3000));
        QVERIFY(writeFile(f.dir.file(odd), 3000));
        QVERIFY(scanAndWait(f.state, f.dir.path()));
        const QString trash = QString::fromLocal8Bit(m_dataHome->path()) + QStringLiteral("/Trash");

        for (const QByteArray& name : {plain, odd}) {
            const NodeRef node = findNode(f.state.scanResult()->rootNode(), name.toStdString());
            QVERIFY(node);
            f.state.deleteFile(node);
            QVERIFY(!QFileInfo::exists(QFile::decodeName(f.dir.file(name))));
            QCOMPARE(::access((QFile::encodeName(trash) + "/files/" + name).constData(), F_OK), 0);
            const QByteArray infoPath = QFile::encodeName(trash) + "/info/" + name + ".trashinfo";
            const int fd = ::open(infoPath.constData(), O_RDONLY);
            QVERIFY2(fd >= 0, infoPath.constData());
            QByteArray text(4096, 0);
            const ssize_t length = ::read(fd, text.data(), size_t(text.size()));
            ::close(fd);
            text.truncate(qsizetype(std::max<ssize_t>(length, 0)));
            QVERIFY2(text.contains("Path=" + f.dir.file(name).toPercentEncoding("/")),
                     text.constData());
            QVERIFY(text.contains("DeletionDate="));
        }
        QCOMPARE(f.state.scanResult()->totalFiles(), 0);
    }

    void aMoveTheTrashRefusesLeavesTheFile()
    {
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("mnt")));
        if (::mount("none", dir.file("mnt").constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("mounting is not permitted here, so there is no file system without a Trash");
        QVERIFY(writeFile(dir.file("mnt/keep.txt"), 100));
        AppState state(std::make_shared<GioTrash>());
        const bool scanned = scanAndWait(state, dir.file("mnt"));
        const NodeRef node =
            scanned ? findNode(state.scanResult()->rootNode(), "keep.txt") : NodeRef();
        if (node)
            state.deleteFile(node);
        const bool stillThere = QFileInfo::exists(QFile::decodeName(dir.file("mnt/keep.txt")));
        ::umount2(dir.file("mnt").constData(), MNT_DETACH);
        QVERIFY(node);
        QVERIFY(stillThere);
        QCOMPARE(state.toastMessage(),
                 std::optional(L("delete.failed %@", QStringLiteral("keep.txt"))));
        QCOMPARE(state.scanResult()->totalFiles(), 1);
    }

private:
    std::unique_ptr<ScratchDir> m_dataHome;
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    DeletionTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_deletion.moc"
