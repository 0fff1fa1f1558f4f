// Comparing an earlier scan with the current tree: pairs of small trees against the changes
// expected, the sums a comparison must keep, random trees against a comparison by location, and
// a folder on disk scanned, changed and scanned again.

#include "TestSupport.h"
#include "TreeText.h"
#include "services/DiskScanner.h"
#include "services/NcduWriter.h"
#include "services/ScanComparer.h"

#include <QRandomGenerator>
#include <QTest>

#include <map>

using namespace plenvo;
using namespace plenvo::test;
using Kind = ScanComparison::Kind;
using Index = ScanComparison::Index;
using Status = ScanComparer::Outcome::Status;

namespace {

QString signedBytes(std::int64_t bytes)
{
    return (bytes >= 0 ? QStringLiteral("+%1") : QStringLiteral("%1")).arg(bytes);
}

// The changes in themselves, one line each: "kind path change", and " from PATH" for a move.
QStringList changesOf(const ScanComparison& comparison)
{
    static const char* const kinds[] = {"grown",    "shrunk", "unchanged",
                                        "appeared", "gone",   "moved"};
    QStringList lines;
    for (const Index i : comparison.largestChanges()) {
        const ScanComparison::Item& item = comparison.item(i);
        QString line =
            QStringLiteral("%1 %2 %3")
                .arg(QLatin1String(kinds[int(item.kind)]),
                     QString::fromStdString(comparison.path(i)), signedBytes(item.change));
        if (item.kind == Kind::moved)
            line += QStringLiteral(" from ") + QString::fromStdString(comparison.oldPath(i));
        lines << line;
    }
    lines.sort();
    return lines;
}

// What every comparison keeps; an empty string when it does.
QString brokenRule(const ScanComparison& comparison)
{
    const ScanComparison::Summary& summary = comparison.summary();
    const std::int64_t net = summary.netChange();
    if (comparison.item(ScanComparison::root()).change != net)
        return QStringLiteral("the root's change is not the difference of the totals");
    if (summary.grown.bytes - summary.shrunk.bytes + summary.appeared.bytes - summary.gone.bytes !=
        net)
        return QStringLiteral("the tallies do not add up to the net change");
    std::int64_t units = 0, moved = 0;
    for (const Index i : comparison.largestChanges()) {
        if (comparison.item(i).kind == Kind::moved)
            ++moved;
        else
            units += comparison.item(i).change; // a move's change is that of what it holds
    }
    if (units != net)
        return QStringLiteral("the changes in themselves do not add up to the net change");
    if (moved != summary.movedFolders)
        return QStringLiteral("the moves are not counted");
    for (Index i = 0; i < comparison.size(); ++i) {
        const ScanComparison::Item& item = comparison.item(i);
        const auto children = comparison.children(i);
        if (children.empty())
            continue;
        std::int64_t sum = 0;
        ScanComparison::Tally grown, appeared;
        for (std::size_t k = 0; k < children.size(); ++k) {
            const ScanComparison::Item& child = comparison.item(children[k]);
            if (child.parent != i)
                return QStringLiteral("a child does not name its parent");
            sum += child.change;
            grown += child.grown;
            appeared += child.appeared;
            if (k > 0) {
                const ScanComparison::Item& before = comparison.item(children[k - 1]);
                if (before.isDirectory < child.isDirectory ||
                    (before.isDirectory == child.isDirectory &&
                     std::abs(before.change) < std::abs(child.change)))
                    return QStringLiteral("children out of order");
            }
        }
        if (sum != item.change || !(grown == item.grown) || !(appeared == item.appeared))
            return QStringLiteral("a folder is not the sum of its children: ") +
                   QString::fromStdString(comparison.path(i));
    }
    return {};
}

// Compares both ways, as an export read as it streams by and as a tree in memory, which must
// agree, and checks the rules.
std::shared_ptr<const ScanComparison> compare(const ScanTree& earlier, const ScanTree& current)
{
    const std::string text =
        NcduWriter::toText(*earlier.root, earlier.facts.get(), {1700000000, "t"});
    const ScanComparer::Outcome streamed = ScanComparer::compareWithExportText(text, current);
    const ScanComparer::Outcome inMemory = ScanComparer::compareTrees(earlier, current);
    if (!streamed.comparison || !inMemory.comparison) {
        qWarning("comparison failed: %s", qPrintable(streamed.error.message()));
        return nullptr;
    }
    if (changesOf(*streamed.comparison) != changesOf(*inMemory.comparison)) {
        qWarning("the export and the tree compare differently");
        return nullptr;
    }
    const QString broken = brokenRule(*streamed.comparison);
    if (!broken.isEmpty()) {
        qWarning("%s", qPrintable(broken));
        return nullptr;
    }
    return streamed.comparison;
}

// --- random trees

struct Model {
    std::string name;
    bool isDirectory = false;
    std::int64_t size = 0;
    std::uint64_t inode = 0;
    std::vector<Model> children;
};

NodeRef build(const Model& model, bool isRoot, bool withInodes)
{
    std::vector<NodeRef> children;
    for (const Model& child : model.children)
        children.push_back(build(child, false, withInodes));
    NodeRef node = FileNode::create(model.name, isRoot ? "/" + model.name : std::string(),
                                    model.isDirectory, model.size, {}, {}, std::move(children));
    node->setInode(withInodes ? model.inode : 0);
    return node;
}

ScanTree treeOf(const Model& model, bool withInodes)
{
    ScanTree tree;
    tree.root = build(model, true, withInodes);
    auto facts = std::make_shared<NodeFacts>();
    facts->edit(tree.root->id()) = {7, 0, 0, true};
    tree.facts = facts;
    tree.rootPath = tree.root->pathBytes();
    return tree;
}

class RandomTrees {
public:
    explicit RandomTrees(quint32 seed) : m_random(seed) {}

    Model tree()
    {
        Model root{"r", true, 0, next(), {}};
        fill(root, 3);
        return root;
    }

    // Grows, shrinks, adds, removes, renames and moves a few entries.
    void change(Model& root)
    {
        const int count = 1 + int(m_random.bounded(6));
        for (int n = 0; n < count; ++n) {
            std::vector<Model*> folders;
            collect(root, folders);
            Model& folder = *folders[m_random.bounded(quint32(folders.size()))];
            switch (m_random.bounded(6)) {
            case 0: // a file grows or shrinks
                for (Model& child : folder.children)
                    if (!child.isDirectory) {
                        child.size =
                            std::max<std::int64_t>(0, child.size + int(m_random.bounded(41)) - 20);
                        break;
                    }
                break;
            case 1: // a new file or folder
                folder.children.push_back(
                    m_random.bounded(2) ? file() : Model{name(), true, 0, next(), {file()}});
                break;
            case 2: // something goes
                if (!folder.children.empty())
                    folder.children.erase(folder.children.begin() +
                                          m_random.bounded(quint32(folder.children.size())));
                break;
            case 3: // a folder is renamed
                for (Model& child : folder.children)
                    if (child.isDirectory) {
                        child.name = name();
                        break;
                    }
                break;
            case 4: { // a folder moves into another that is not below it
                if (&folder == &root)
                    break;
                Model moving = folder;
                removeFolder(root, &folder);
                std::vector<Model*> targets;
                collect(root, targets);
                Model& target = *targets[m_random.bounded(quint32(targets.size()))];
                moving.name = name();
                target.children.push_back(std::move(moving));
                break;
            }
            default: // a file becomes a folder of the same name
                for (Model& child : folder.children)
                    if (!child.isDirectory) {
                        child = Model{child.name, true, 0, next(), {file()}};
                        break;
                    }
            }
        }
    }

private:
    std::uint64_t next() { return ++m_inode; }
    std::string name()
    {
        // Few letters, so that names meet, and a byte that is not UTF-8 now and then.
        std::string made(1 + m_random.bounded(2), 'a');
        for (char& c : made)
            c = char('a' + m_random.bounded(4));
        if (m_random.bounded(10) == 0)
            made += '\xff';
        return made + std::to_string(m_inode++);
    }
    Model file() { return Model{name(), false, std::int64_t(m_random.bounded(100)), 0, {}}; }
    void fill(Model& folder, int depth)
    {
        const int count = int(m_random.bounded(5));
        for (int i = 0; i < count; ++i) {
            if (depth > 0 && m_random.bounded(3) == 0) {
                Model sub{name(), true, 0, next(), {}};
                fill(sub, depth - 1);
                folder.children.push_back(std::move(sub));
            } else {
                folder.children.push_back(file());
            }
        }
    }
    static void collect(Model& folder, std::vector<Model*>& out)
    {
        out.push_back(&folder);
        for (Model& child : folder.children)
            if (child.isDirectory)
                collect(child, out);
    }
    static bool removeFolder(Model& folder, const Model* target)
    {
        for (auto it = folder.children.begin(); it != folder.children.end(); ++it) {
            if (&*it == target) {
                folder.children.erase(it);
                return true;
            }
            if (it->isDirectory && removeFolder(*it, target))
                return true;
        }
        return false;
    }

    QRandomGenerator m_random;
    std::uint64_t m_inode = 100;
};

// The changes by location alone: every path in one tree and not the other, at the top of what
// is missing, and every file in both whose size differs.
QStringList changesByLocation(const Model& earlier, const Model& current)
{
    std::map<std::string, const Model*> before, after;
    const auto walk = [](const Model& model, std::map<std::string, const Model*>& into) {
        std::vector<std::pair<std::string, const Model*>> pending{{"/" + model.name, &model}};
        while (!pending.empty()) {
            auto [path, node] = pending.back();
            pending.pop_back();
            into[path] = node;
            for (const Model& child : node->children)
                pending.emplace_back(path + "/" + child.name, &child);
        }
    };
    walk(earlier, before);
    walk(current, after);
    const auto total = [](const Model& model) {
        std::int64_t sum = 0;
        std::vector<const Model*> pending{&model};
        while (!pending.empty()) {
            const Model* node = pending.back();
            pending.pop_back();
            sum += node->isDirectory ? 0 : node->size;
            for (const Model& child : node->children)
                pending.push_back(&child);
        }
        return sum;
    };
    const auto parentOf = [](const std::string& path) { return path.substr(0, path.rfind('/')); };
    const auto same = [](const Model* a, const Model* b) {
        return a && b && a->isDirectory == b->isDirectory;
    };
    QStringList lines;
    for (const auto& [path, node] : before) {
        const auto there = after.find(path);
        const Model* now = there == after.end() ? nullptr : there->second;
        const bool parentKept =
            path == "/r" || same(before[parentOf(path)],
                                 after.count(parentOf(path)) ? after[parentOf(path)] : nullptr);
        if (!same(node, now) && parentKept)
            lines << QStringLiteral("gone %1 %2")
                         .arg(QString::fromStdString(path), signedBytes(-total(*node)));
        else if (same(node, now) && !node->isDirectory && node->size != now->size)
            lines << QStringLiteral("%1 %2 %3")
                         .arg(now->size > node->size ? QStringLiteral("grown")
                                                     : QStringLiteral("shrunk"),
                              QString::fromStdString(path), signedBytes(now->size - node->size));
    }
    for (const auto& [path, node] : after) {
        const auto there = before.find(path);
        const Model* was = there == before.end() ? nullptr : there->second;
        const bool parentKept =
            path == "/r" || same(before.count(parentOf(path)) ? before[parentOf(path)] : nullptr,
                                 after[parentOf(path)]);
        if (!same(was, node) && parentKept)
            lines << QStringLiteral("appeared %1 %2")
                         .arg(QString::fromStdString(path), signedBytes(total(*node)));
    }
    lines.sort();
    return lines;
}

} // namespace

class ScanComparerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pairs_data()
    {
        QTest::addColumn<QByteArray>("earlier");
        QTest::addColumn<QByteArray>("current");
        QTest::addColumn<QStringList>("changes");
        const auto row = [](const char* name, const char* earlier, const char* current,
                            QStringList changes) {
            changes.sort();
            QTest::newRow(name) << QByteArray(earlier) << QByteArray(current) << changes;
        };
        row("nothing changed", "r(a:1,s#5(b:2))", "r(a:1,s#5(b:2))", {});
        row("a file grew", "r(a:10,b:1)", "r(a:25,b:1)", {"grown /r/a +15"});
        row("a file shrank", "r(s(a:10))", "r(s(a:4))", {"shrunk /r/s/a -6"});
        row("a file appeared", "r(a:1)", "r(a:1,n:7)", {"appeared /r/n +7"});
        row("a file went", "r(a:1,g:7)", "r(a:1)", {"gone /r/g -7"});
        row("a folder appeared with content", "r(a:1)", "r(a:1,n#9(x:3,y(z:4)))",
            {"appeared /r/n +7"});
        row("a folder went with content", "r(a:1,g#9(x:3,y(z:4)))", "r(a:1)", {"gone /r/g -7"});
        row("a folder renamed", "r(old#7(x:1,y:2))", "r(new#7(x:1,y:2))",
            {"moved /r/new +0 from /r/old"});
        row("an empty folder renamed", "r(e#7())", "r(f#7())", {"moved /r/f +0 from /r/e"});
        row("a folder moved and partly changed", "r(a(d#7(x:1,y:2,z:3)),b())",
            "r(a(),b(d#7(x:1,y:5,w:4)))",
            {"moved /r/b/d +4 from /r/a/d", "grown /r/b/d/y +3", "appeared /r/b/d/w +4",
             "gone /r/a/d/z -3"});
        row("a folder moved into a new one", "r(a#7(x:1))", "r(n#8(m(a#7(x:1)),k:2))",
            {"appeared /r/n/k +2", "moved /r/n/m/a +0 from /r/a"});
        row("a renamed folder and a folder moved out of it", "r(a#1(b#2(x:1,y:1),c:1))",
            "r(z#1(c:1),b#2(x:1,y:1))", {"moved /r/z +0 from /r/a", "moved /r/b +0 from /r/a/b"});
        row("a folder moved out of one that went", "r(p(q#3(x:1),o:2))", "r(q#3(x:1))",
            {"gone /r/p -2", "moved /r/q +0 from /r/p/q"});
        row("an inode used again by another folder", "r(a#7(x:1,y:1,z:1))", "r(b#7(p:1,q:1,w:1))",
            {"gone /r/a -3", "appeared /r/b +3"});
        row("a file replaced by a folder of the same name", "r(f:5)", "r(f#4(g:1))",
            {"gone /r/f -5", "appeared /r/f +1"});
        row("a folder replaced by a file of the same name", "r(f#4(g:1))", "r(f:5)",
            {"gone /r/f -1", "appeared /r/f +5"});
        row("names that are not UTF-8", "r(\xff\xfe:1,d\xc3(e:1))",
            "r(\xff\xfe:2,\xff:3,d\xc3(e:1),d\xc3\xa9(e:1))",
            {"grown /r/\xff\xfe +1", "appeared /r/\xff +3", "appeared /r/d\xc3\xa9 +1"});
        // The space of a file with two names counts under the first; when that name goes, the
        // other carries it.
        row("hard links", "r(a:8=5,s(b:0=5),c:1)", "r(s(b:8),c:1)",
            {"gone /r/a -8", "grown /r/s/b +8"});
        row("a hard link added", "r(a:8)", "r(a:8=5,b:0=5)", {"appeared /r/b +0"});
    }

    void pairs()
    {
        QFETCH(QByteArray, earlier);
        QFETCH(QByteArray, current);
        QFETCH(QStringList, changes);
        const ScanTree before = TreeText::parse(earlier.toStdString());
        const ScanTree after = TreeText::parse(current.toStdString());
        const auto comparison = compare(before, after);
        QVERIFY(comparison);
        QCOMPARE(changesOf(*comparison).join(u"; "), changes.join(u"; "));
    }

    // Gone folders hold what they held, to be drilled into, new ones their nodes; every item of
    // the current scan holds its node, and a summary tells the whole.
    void itemsAndSummary()
    {
        const ScanTree before = TreeText::parse("r(a:10,g#2(x:3,y(z:4)),k:1)");
        const ScanTree after = TreeText::parse("r(a:30,n#3(p:5,q(w:6)),k:1)");
        const auto comparison = compare(before, after);
        QVERIFY(comparison);
        const ScanComparison::Summary& summary = comparison->summary();
        QCOMPARE(summary.oldTotal, 18);
        QCOMPARE(summary.newTotal, 42);
        QCOMPARE(summary.oldEntries, 7);
        QCOMPARE(summary.grown, (ScanComparison::Tally{20, 1}));
        QCOMPARE(summary.appeared, (ScanComparison::Tally{11, 2}));
        QCOMPARE(summary.gone, (ScanComparison::Tally{7, 2}));
        QCOMPARE(summary.oldScanDate, std::optional<std::int64_t>(1700000000000));

        const auto root = comparison->children(ScanComparison::root());
        QCOMPARE(root.size(), std::size_t(3)); // folders first, then by the size of the change
        QCOMPARE(comparison->name(root[0]), "n");
        QCOMPARE(comparison->name(root[1]), "g");
        QCOMPARE(comparison->name(root[2]), "a");
        const ScanComparison::Item& gone = comparison->item(root[1]);
        QVERIFY(!gone.node);
        QCOMPARE(gone.oldSize, 7);
        QCOMPARE(gone.oldFiles, 2);
        QCOMPARE(comparison->children(root[1]).size(), std::size_t(2));
        const ScanComparison::Item& appeared = comparison->item(root[0]);
        QVERIFY(comparison->children(root[0]).empty());
        QCOMPARE(appeared.node.get(), after.root->children()[1]);
        QCOMPARE(appeared.change, 11);
        QCOMPARE(appeared.newFiles, 2);
        QCOMPARE(comparison->item(root[2]).node.get(), after.root->children()[0]);
        QCOMPARE(comparison->largestChanges(1), std::vector<Index>{root[2]});
    }

    // Random trees, randomly changed: without inodes, the comparison is the comparison by
    // location; with them, it finds moves and still keeps every rule.
    void randomTrees()
    {
        std::int64_t moves = 0, changes = 0;
        for (quint32 seed = 1; seed <= 500; ++seed) {
            RandomTrees random(seed);
            const Model earlier = random.tree();
            Model current = earlier;
            random.change(current);
            const auto byLocation = compare(treeOf(earlier, false), treeOf(current, false));
            QVERIFY2(byLocation, qPrintable(QString::number(seed)));
            QCOMPARE(changesOf(*byLocation), changesByLocation(earlier, current));
            changes += byLocation->largestChanges().size();
            const auto withMoves = compare(treeOf(earlier, true), treeOf(current, true));
            QVERIFY2(withMoves, qPrintable(QString::number(seed)));
            moves += withMoves->summary().movedFolders;
        }
        // The trees changed enough, and in enough ways, to find moves.
        QVERIFY(changes >= 500);
        QVERIFY(moves >= 50);
    }

    // A disk mounted again under another device number: its folders are still found.
    void theRootDeviceMayChange()
    {
        const ScanTree before = TreeText::parse("r(a#4(x:1))", 10);
        const ScanTree after = TreeText::parse("r(b#4(x:1))", 11);
        const auto comparison = compare(before, after);
        QVERIFY(comparison);
        QCOMPARE(changesOf(*comparison), QStringList{"moved /r/b +0 from /r/a"});
    }

    void failuresAndCancellation()
    {
        const ScanTree tree = TreeText::parse("r(a:1,s(b:2))");
        const std::string text = NcduWriter::toText(*tree.root, tree.facts.get(), {});
        const ScanComparer::Outcome cut = ScanComparer::compareWithExportText(
            std::string_view(text).substr(0, text.size() - 4), tree);
        QCOMPARE(cut.status, Status::failed);
        QCOMPARE(cut.error.kind, NcduReader::ErrorKind::truncated);
        QVERIFY(!cut.comparison);
        QCOMPARE(ScanComparer::compareWithExport("/nonexistent/scan.json", tree).error.kind,
                 NcduReader::ErrorKind::unreadable);

        std::string many = "[1,2,{},[{\"name\":\"/r\"}";
        for (int i = 0; i < 5000; ++i)
            many += ",{\"name\":\"f" + std::to_string(i) + "\"}";
        many += "]]";
        const CancellationToken token = CancellationToken::create();
        token.cancel();
        QCOMPARE(ScanComparer::compareWithExportText(many, tree, token).status, Status::cancelled);
        QCOMPARE(ScanComparer::compareWithExportText(many, tree).comparison->summary().gone.files,
                 5000);
    }

    // A folder scanned, changed on disk and scanned again: the export of the first scan carries
    // what finds the renamed folder, and the sizes are counted as the scanner counts them (the
    // second name of a file counts nothing).
    void aFolderOnDisk()
    {
        ScratchDir dir, out;
        QVERIFY(makeDir(dir.file("photos")) && makeDir(dir.file("photos/2023")));
        QVERIFY(writeFile(dir.file("photos/a.jpg"), 20000));
        QVERIFY(writeFile(dir.file("photos/2023/b.jpg"), 30000));
        QVERIFY(writeFile(dir.file("log.txt"), 1000));
        QVERIFY(writeFile(dir.file("old.txt"), 5000));
        const std::int64_t logBefore = allocatedSize(dir.file("log.txt"));
        const std::int64_t old = allocatedSize(dir.file("old.txt"));
        const std::string exported = out.file("before.json.gz").toStdString();
        std::int64_t totalBefore = 0;
        {
            const DiskScanner::Outcome first = DiskScanner().scanNow(dir.str(), {});
            totalBefore = first.root->cachedSize();
            QCOMPARE(NcduWriter::writeFile(exported, *first.root, first.facts.get(), {}).status,
                     NcduWriter::Outcome::Status::completed);
        }
        QCOMPARE(::rename(dir.file("photos").constData(), dir.file("pictures").constData()), 0);
        QVERIFY(writeFile(dir.file("pictures/c.jpg"), 9000));
        QVERIFY(writeFile(dir.file("log.txt"), 50000));
        QCOMPARE(::unlink(dir.file("old.txt").constData()), 0);
        QCOMPARE(::link(dir.file("log.txt").constData(), dir.file("pictures/log").constData()), 0);

        const DiskScanner::Outcome second = DiskScanner().scanNow(dir.str(), {});
        const ScanTree current{second.root, second.facts, dir.str(), 0};
        const ScanComparer::Outcome outcome = ScanComparer::compareWithExport(exported, current);
        QVERIFY(outcome.comparison);
        const ScanComparison& comparison = *outcome.comparison;
        QVERIFY2(brokenRule(comparison).isEmpty(), qPrintable(brokenRule(comparison)));
        const QString root = QString::fromLocal8Bit(dir.path());
        const auto line = [&](const char* kind, const char* name, std::int64_t change) {
            return QStringLiteral("%1 %2/%3 %4")
                .arg(QLatin1String(kind), root, QLatin1String(name), signedBytes(change));
        };
        const std::int64_t picture = allocatedSize(dir.file("pictures/c.jpg"));
        QStringList expected{
            line("moved", "pictures", picture) + QStringLiteral(" from %1/photos").arg(root),
            line("appeared", "pictures/c.jpg", picture), line("appeared", "pictures/log", 0),
            line("grown", "log.txt", allocatedSize(dir.file("log.txt")) - logBefore),
            line("gone", "old.txt", -old)};
        expected.sort();
        QCOMPARE(changesOf(comparison), expected);
        QCOMPARE(comparison.summary().oldTotal, totalBefore);
        QCOMPARE(comparison.summary().newTotal, second.root->cachedSize());
    }
};

QTEST_GUILESS_MAIN(ScanComparerTest)
#include "tst_scancomparer.moc"
