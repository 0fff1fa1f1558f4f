#include "models/FileCategory.h"
#include "models/FileNode.h"
#include "models/NodeArena.h"
#include "models/ScanProgress.h"
#include "models/ScanResult.h"
#include "utils/ContainingFolders.h"
#include "utils/FileUri.h"
#include "utils/Localization.h"

#include <QTest>

#include <array>
#include <functional>
#include <random>
#include <thread>
#include <unordered_set>

using namespace plenvo;
using namespace Qt::StringLiterals;

namespace {

NodeRef file(const char* name, qint64 size)
{
    return FileNode::create(name, {}, false, size, {}, {});
}

NodeRef folder(const char* name, std::vector<NodeRef> children, std::string_view path = {})
{
    return FileNode::create(name, path, true, 0, {}, {}, std::move(children));
}

// Size, files and folders of a node, its folders included.
std::tuple<qint64, qint64, qint64> aggregates(const NodeRef& node)
{
    return {node->cachedSize(), node->cachedFileCount(), node->cachedDirCount()};
}

struct Totals {
    qint64 size = 0, files = 0, folders = 0, foldersOwn = 0;
    bool operator==(const Totals&) const = default;
};

// The aggregates of a subtree computed from scratch; checks on the way that every child
// names its folder as its parent and that every location follows from the names.
Totals recount(const FileNode& top, const std::string& location)
{
    if (!top.isDirectory())
        return {top.fileSize(), 1, 0, 0};
    Totals totals{0, 0, 1, top.fileSize()};
    for (const FileNode* child : top.children()) {
        const std::string at = location + '/' + std::string(child->nameBytes());
        if (child->parent() != &top || child->pathBytes() != at)
            return {-1, -1, -1, -1};
        const Totals below = recount(*child, at);
        totals.size += below.size;
        totals.files += below.files;
        totals.folders += below.folders;
        totals.foldersOwn += below.foldersOwn;
    }
    const Totals cached{top.cachedSize(), top.cachedFileCount(), top.cachedDirCount(),
                        top.cachedFoldersOwnSize()};
    return cached == totals ? totals : Totals{-1, -1, -1, -1};
}

void collect(const NodeRef& top, std::vector<NodeRef>& out)
{
    out.push_back(top);
    for (const FileNode* child : top->children())
        collect(NodeRef(child), out);
}

} // namespace

class FileNodeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Aggregates follow the tree, a folder's own size never entering them (it is summed
    // apart, in whole blocks); removing a whole subfolder takes its size, files, every folder
    // below it and their own sizes out of every ancestor.
    void aggregatesFollowRemovals()
    {
        NodeRef f = file("f", 7);
        NodeRef odd = FileNode::create("odd", {}, true, 777, {}, {}, {});
        NodeRef deep = folder("deep", {folder("d1", {folder("d2", {f})}), file("g", 1), odd});
        NodeRef mid = FileNode::create("mid", {}, true, 4096, {}, {},
                                       {deep, file("h", 2), folder("e", {})});
        NodeRef top = folder("/", {mid}, "/");
        QCOMPARE(odd->fileSize(), 1024);
        QCOMPARE(aggregates(top), std::tuple(10, 3, 7));
        QCOMPARE(top->cachedFoldersOwnSize(), 1024 + 4096);
        QVERIFY(mid->removeChild(*deep));
        QCOMPARE(mid->childCount(), 2u);
        QCOMPARE(aggregates(mid), std::tuple(2, 1, 2));
        QCOMPARE(aggregates(top), std::tuple(2, 1, 3));
        QCOMPARE(top->cachedFoldersOwnSize(), 4096);
        QCOMPARE(FileNode::keptFolderSize(INT64_MAX), (qint64(1) << 41) - 512);
        // The removed subtree keeps its own aggregates and its location.
        QCOMPARE(aggregates(deep), std::tuple(8, 2, 4));
        QCOMPARE(deep->cachedFoldersOwnSize(), 1024);
        QCOMPARE(deep->parent(), nullptr);
        QCOMPARE(f->pathBytes(), std::string("/mid/deep/d1/d2/f"));
    }

    void removingSomethingElseChangesNothing()
    {
        NodeRef a = file("a", 1), b = file("b", 2);
        NodeRef root = folder("root", {a, b});
        NodeRef stranger = file("a", 1);
        NodeRef otherRoot = folder("other", {stranger});
        QVERIFY(!root->removeChild(*stranger));
        QCOMPARE(stranger->parent(), otherRoot.get());
        QCOMPARE(aggregates(root), std::tuple(3, 2, 1));
        QVERIFY(!a->removeChild(*b)); // a file has no children
        // The same node twice: the second call finds nothing.
        QVERIFY(root->removeChild(*a));
        QVERIFY(!root->removeChild(*a));
        QCOMPARE(root->children()[0], b.get());
        QCOMPARE(aggregates(root), std::tuple(2, 1, 1));
    }

    void identityIsTheId()
    {
        NodeRef first = FileNode::create("same", "/p/same", false, 1, {}, {});
        NodeRef second = FileNode::create("same", "/p/same", false, 1, {}, {});
        QVERIFY(!(*first == *second) && first != second);
        QVERIFY(first->id() != second->id());
    }

    void displayFormsReplaceWhatCannotBeShown()
    {
        const std::pair<QByteArray, QString> cases[] = {
            {"notes caf\xC3\xA9 \xE6\x97\xA5\xF0\x9F\x98\x80", u"notes café 日😀"_s},
            {"caf\xE9.txt", u"caf\uFFFD.txt"_s}, // not UTF-8
            // C0 and C1 controls, DEL, line and paragraph separators
            {"a\nb\tc\rd\001e\177f\302\205g\302\237h\342\200\250i\342\200\251",
             u"a\uFFFDb\uFFFDc\uFFFDd\uFFFDe\uFFFDf\uFFFDg\uFFFDh\uFFFDi\uFFFD"_s},
            // bidirectional overrides, embeddings and isolates would reorder what follows
            {"rtl\u202Egnp.exe", u"rtl\uFFFDgnp.exe"_s},
            {"\u202A\u202B\u202C\u202D|\u2066\u2067\u2068\u2069|\u200F\u061C",
             u"\uFFFD\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD\uFFFD|\u200F\u061C"_s}};
        for (const auto& [name, shown] : cases) {
            const std::string bytes = name.toStdString();
            NodeRef node = FileNode::create(bytes, {}, false, 1, {}, {});
            const std::string rootPath = "/x/" + bytes;
            const ScanResult result(FileNode::create(bytes, rootPath, true, 0, {}, {}, {node}), 0,
                                    rootPath);
            QCOMPARE(node->name(), shown);
            QCOMPARE(node->path(), u"/x/"_s + shown + u'/' + shown);
            QCOMPARE(result.rootName(), shown);
            QCOMPARE(result.rootPathDisplay(), u"/x/"_s + shown);
            QCOMPARE(ScanProgress::scanning(QString::fromUtf8(name), 1).path(), shown);
            QCOMPARE(std::string(node->nameBytes()), bytes);
            QCOMPARE(node->pathBytes(), rootPath + '/' + bytes);
        }
    }

    // The category follows the extension, for folders as for files.
    void extensionIsTheTextAfterTheLastDot()
    {
        const std::tuple<const char*, const char*, FileCategory> cases[] = {
            {"archive.tar.gz", "gz", FileCategory::archives},
            {"notes.MD", "MD", FileCategory::documents},
            {"Photos.app", "app", FileCategory::applications},
            {".bashrc", "", FileCategory::other},
            {"Makefile", "", FileCategory::other},
            {"trailing.", "", FileCategory::other},
            {".hidden.png", "png", FileCategory::images},
            {"caf\xE9-\xFF.txt", "txt", FileCategory::documents},
            {"weird.\xFF", "\xFF", FileCategory::other}};
        for (const auto& [name, extension, category] : cases) {
            for (bool isDirectory : {false, true}) {
                const NodeRef node = FileNode::create(name, {}, isDirectory, 0, {}, {});
                QCOMPARE(node->extensionBytes(), extension);
                QCOMPARE(FileCategory::of(*node), category);
            }
        }
    }

    // Every listed extension finds its own category, in any case and from either kind of text;
    // anything that is not exactly a listed extension is "other".
    void extensionsDecideTheCategory()
    {
        const std::pair<FileCategory, const char*> lists[] = {
            {FileCategory::documents,
             "pdf doc docx xls xlsx ppt pptx txt rtf pages numbers keynote csv md"},
            {FileCategory::images,
             "jpg jpeg png gif bmp tiff tif svg webp heic heif raw cr2 nef psd ai"},
            {FileCategory::videos, "mp4 mov avi mkv wmv flv m4v webm mpg mpeg 3gp mts"},
            {FileCategory::audio, "mp3 wav aac flac m4a wma ogg aiff alac opus"},
            {FileCategory::archives, "zip rar 7z tar gz bz2 xz dmg iso pkg deb rpm"},
            {FileCategory::code, "swift py js ts jsx tsx java kt c cpp h hpp cs go rs rb php html "
                                 "css scss json xml yaml yml sh bash zsh sql r m mm"},
            {FileCategory::applications, "app ipa apk exe msi"},
            {FileCategory::system, "plist dylib framework kext log crash diag lock"},
            {FileCategory::caches, "cache tmp temp swp"},
            // Not listed, or not exactly; the last one is empty.
            {FileCategory::other, "xyz pd pdff frameworks jpé .pdf pdf\t "},
        };
        for (const auto& [category, list] : lists) {
            for (const QString& extension : QString::fromUtf8(list).split(u' ')) {
                for (const QString& text : {extension, extension.toUpper(),
                                            extension.left(1).toUpper() + extension.mid(1)}) {
                    const QByteArray utf8 = text.toUtf8();
                    QCOMPARE(FileCategory::categorize(QStringView(text)), category);
                    QCOMPARE(FileCategory::categorize(std::string_view(utf8.data(), utf8.size())),
                             category);
                }
            }
        }
    }

    // Raw values round-trip, case and all; names come from the string tables.
    void categoryNames()
    {
        QStringList raws;
        for (FileCategory category : FileCategory::allCases()) {
            raws << category.rawValue();
            QCOMPARE(FileCategory::fromRawValue(category.rawValue()), std::optional(category));
            Localization::setLanguage(u"en");
            const QString english = category.localizedName();
            Localization::setLanguage(u"zh_CN");
            QVERIFY2(english != QLatin1String(category.localizationKey()) &&
                         category.localizedName() != english,
                     category.localizationKey());
        }
        Localization::setLanguage({});
        QCOMPARE(raws.join(u','),
                 u"Documents,Images,Videos,Audio,Archives,Code,Applications,System,Caches,Other"_s);
        QCOMPARE(FileCategory::fromRawValue(u"documents"), std::nullopt);
    }

    // A location, its URI and the URI of its folder; decoding gives the bytes back.
    void urisHoldTheExactBytes()
    {
        const std::array<const char*, 3> cases[] = {
            {"/home/ada/notes.txt", "file:///home/ada/notes.txt", "file:///home/ada"},
            {"/a b/x#1?%.txt", "file:///a%20b/x%231%3F%25.txt", "file:///a%20b"},
            {"/d/\xc3\xa9t\xc3\xa9", "file:///d/%C3%A9t%C3%A9", "file:///d"},
            {"/x/bad\xff\xfe.txt", "file:///x/bad%FF%FE.txt", "file:///x"},
            {"/etc", "file:///etc", "file:///"},
            {"/m/dir/", "file:///m/dir/", "file:///m"}};
        for (const auto& [path, uri, folder] : cases) {
            QCOMPARE(FileUri::fromPath(path), QByteArray(uri));
            QCOMPARE(FileUri::fromPath(ContainingFolders::of(path)), QByteArray(folder));
            QCOMPARE(QByteArray::fromPercentEncoding(QByteArray(uri).mid(7)), QByteArray(path));
        }
    }

    // Nodes kept elsewhere outlive their tree and its arena, keep their location, and keep
    // only the arena's chunks that hold them.
    void nodesOutliveTheirTree()
    {
        const qint64 before = NodeArena::mappedBytes();
        NodeRef kept;
        NodeRef keptFolder;
        {
            NodeArena arena;
            std::vector<NodeRef> files;
            for (int i = 0; i < 20000; ++i)
                files.push_back(FileNode::create("some-file-name-" + std::to_string(i), {}, false,
                                                 i, {}, {}, {}, &arena));
            NodeRef sub = FileNode::create("sub", {}, true, 0, {}, {}, std::move(files), &arena);
            NodeRef deeper = FileNode::create("deeper", {}, true, 0, {}, {}, {sub}, &arena);
            NodeRef root = FileNode::create("root", "/vol/root", true, 0, {}, {}, {deeper}, &arena);
            kept = NodeRef(sub->children()[7]);
            keptFolder = sub;
            // Assigning a reference to the node it holds already adds nothing.
            keptFolder = sub;
            keptFolder = NodeRef(sub);
            QCOMPARE(sub->useCount(), 3u); // sub, keptFolder and `deeper`'s child
            QVERIFY(NodeArena::mappedBytes() - before >= 4 * qint64(NodeArena::kChunkSize));
        }
        QCOMPARE(keptFolder->parent(), nullptr);
        QCOMPARE(keptFolder->pathBytes(), std::string("/vol/root/deeper/sub"));
        QCOMPARE(kept->parent(), keptFolder.get());
        keptFolder = NodeRef();
        QCOMPARE(kept->parent(), nullptr);
        QCOMPARE(kept->pathBytes(), std::string("/vol/root/deeper/sub/some-file-name-7"));
        QCOMPARE(kept->fileSize(), 7);
        QCOMPARE(NodeArena::mappedBytes() - before, qint64(NodeArena::kChunkSize));
        kept = NodeRef();
        QCOMPARE(NodeArena::mappedBytes(), before);
    }

    // What a node keeps of the values it is given: dates in whole seconds (rounded down) within
    // a range, "no date" apart from every date; sizes exactly below 2^48 bytes and in 512-byte
    // blocks above; names of any length up to 65535 bytes.
    void valuesAreKeptAsDocumented()
    {
        const qint64 last = ((qint64(1) << 32) - 1) * 1000;
        const std::pair<FileNode::Timestamp, FileNode::Timestamp> dates[] = {
            {{}, {}},
            {0, 0},
            {999, 0},
            {-1, -1000},
            {1700000000123, 1700000000000},
            {-4102444800000, -4102444800000}, // 1840
            {last, last},
            {last + 1000, last},
            {-last, -last},
            {INT64_MIN, -last},
            {INT64_MAX, last}};
        for (const auto& [given, kept] : dates) {
            const NodeRef node = FileNode::create("d", {}, false, 0, given, kept);
            QCOMPARE(node->modificationDate(), kept);
            QCOMPARE(node->creationDate(), kept);
            node->setModificationDate(given ? FileNode::Timestamp() : FileNode::Timestamp(7000));
            QCOMPARE(node->modificationDate(), given ? FileNode::Timestamp() : 7000);
            QCOMPARE(node->creationDate(), kept);
        }

        const qint64 limit = qint64(1) << 48;
        const std::pair<qint64, qint64> sizes[] = {{-5, 0},
                                                   {0, 0},
                                                   {limit - 1, limit - 1},
                                                   {limit, limit},
                                                   {limit + 1, limit + 512},
                                                   {INT64_MAX, (limit - 1) * 512}};
        for (const auto& [given, kept] : sizes) {
            const NodeRef node = file("s", 3);
            const NodeRef root = folder("r", {node});
            node->setFileSize(given);
            QCOMPARE(node->fileSize(), kept);
            QCOMPARE(root->cachedSize(), kept);
            QCOMPARE(FileNode::create("s", {}, false, given, {}, {})->fileSize(), kept);
        }

        for (std::size_t length : {0, 254, 255, 256, 4000, 65535, 70000}) {
            std::string name(length, 'n');
            for (std::size_t i = 0; i < length; ++i)
                name[i] = char('a' + i % 26);
            for (bool isDirectory : {false, true}) {
                const NodeRef node = FileNode::create(name, {}, isDirectory, 1024, 5000, {});
                const NodeRef root = folder("r", {node}, "/r");
                QCOMPARE(node->nameBytes(), std::string_view(name).substr(0, 65535));
                QCOMPARE(node->pathBytes(), "/r/" + name.substr(0, 65535));
                QCOMPARE(node->fileSize(), 1024);
                QCOMPARE(node->modificationDate(), 5000);
                QCOMPARE(node->parent(), root.get());
            }
        }
    }

    // Identities stay unique also after nodes are freed and their memory, and their chunks'
    // slots, are used again: neither addresses nor handles decide them.
    void identitiesAreNeverReused()
    {
        std::unordered_set<NodeId> seen;
        for (int round = 0; round < 3; ++round) {
            NodeArena arena;
            std::vector<NodeRef> files;
            for (int i = 0; i < 12000; ++i)
                files.push_back(
                    FileNode::create("f" + std::to_string(i), {}, false, i, {}, {}, {}, &arena));
            const NodeRef top =
                FileNode::create("top", {}, true, 0, {}, {}, std::move(files), &arena);
            QVERIFY(seen.insert(top->id()).second);
            for (const FileNode* child : top->children())
                QVERIFY(seen.insert(child->id()).second);
        }
        QVERIFY(!seen.count(NodeId()));
    }

    // Random trees, randomly cut, put together again and resized: every folder's aggregates
    // stay what counting its subtree from scratch gives, every child names its folder, every
    // location follows from the names, and a removed node keeps its location. Once everything
    // is let go, every chunk is given back.
    void randomEditsKeepAggregatesAndLocations()
    {
        const qint64 before = NodeArena::mappedBytes();
        std::mt19937 random(20240611);
        const auto pick = [&](std::size_t count) {
            return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
        };
        const auto randomName = [&](int serial) {
            std::string name = "n" + std::to_string(serial);
            name.append(pick(10) == 0 ? 300 : pick(30), char('a' + pick(26)));
            return name;
        };
        const auto randomSize = [&]() -> qint64 {
            return pick(20) == 0 ? (qint64(1) << 48) + qint64(pick(5000)) : qint64(pick(100000));
        };
        {
            NodeArena arena;
            int serial = 0;
            // Built bottom-up, as a scan does: a folder is made once its children are.
            std::function<NodeRef(int)> build = [&](int depth) -> NodeRef {
                std::vector<NodeRef> children;
                const std::size_t count = depth < 4 ? pick(7) : 0;
                for (std::size_t i = 0; i < count; ++i)
                    children.push_back(pick(3) == 0
                                           ? build(depth + 1)
                                           : FileNode::create(randomName(++serial), {}, false,
                                                              randomSize(), {}, {}, {}, &arena));
                return FileNode::create(randomName(++serial), {}, true, qint64(pick(3)) * 4096, {},
                                        {}, std::move(children), &arena);
            };
            std::vector<NodeRef> roots;
            for (int i = 0; i < 3; ++i)
                roots.push_back(build(0));
            const NodeRef root = FileNode::create("vol", "/vol", true, 0, {}, {},
                                                  std::vector<NodeRef>(roots), &arena);
            std::vector<std::pair<NodeRef, std::string>> removed;
            for (int step = 0; step < 300; ++step) {
                std::vector<NodeRef> nodes;
                collect(root, nodes);
                std::vector<NodeRef> folders;
                for (const NodeRef& node : nodes)
                    if (node->isDirectory())
                        folders.push_back(node);
                const NodeRef& target = folders[pick(folders.size())];
                switch (pick(3)) {
                case 0: // cut one to three children of a folder
                    if (target->childCount()) {
                        NodeIdSet ids;
                        for (std::size_t i = 0, n = 1 + pick(3); i < n; ++i) {
                            const FileNode* child = target->children()[pick(target->childCount())];
                            if (ids.insert(child->id()).second)
                                removed.emplace_back(NodeRef(child), child->pathBytes());
                        }
                        QCOMPARE(target->removeChildren(ids), ids.size());
                    }
                    break;
                case 1: // put one back, anywhere that is not below itself
                    if (!removed.empty()) {
                        const std::size_t at = pick(removed.size());
                        if (target->isWithin(*removed[at].first))
                            break;
                        QVERIFY(target->addChild(removed[at].first));
                        QVERIFY(!target->addChild(removed[at].first)); // has a parent now
                        removed.erase(removed.begin() + std::ptrdiff_t(at));
                    }
                    break;
                default: { // resize a file
                    NodeRef node = nodes[pick(nodes.size())];
                    if (!node->isDirectory())
                        node->setFileSize(randomSize());
                    break;
                }
                }
                QVERIFY(recount(*root, "/vol").files >= 0);
                for (const auto& [node, location] : removed) {
                    QCOMPARE(node->parent(), nullptr);
                    QCOMPARE(node->pathBytes(), location);
                    QVERIFY(recount(*node, location).files >= 0);
                }
            }
            QVERIFY(NodeArena::mappedBytes() > before);
        }
        QCOMPARE(NodeArena::mappedBytes(), before);
    }

    // A tree may be built from parts made on several threads, each with its own arena or with
    // none (as a parallel scan does), and be let go of on yet another thread.
    void treesFromManyThreads()
    {
        const qint64 before = NodeArena::mappedBytes();
        constexpr int kThreads = 4, kFiles = 5000;
        std::vector<NodeRef> parts(kThreads);
        std::vector<std::vector<NodeId>> ids(kThreads);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                NodeArena arena;
                std::vector<NodeRef> files;
                for (int i = 0; i < kFiles; ++i) {
                    // Every other node from the arena given, the rest from the thread's.
                    NodeArena* from = i % 2 ? &arena : nullptr;
                    files.push_back(
                        FileNode::create("f" + std::to_string(i), {}, false, 1, {}, {}, {}, from));
                    ids[t].push_back(files.back()->id());
                    // A node made and freed at once: its identity is not given again.
                    ids[t].push_back(
                        FileNode::create("gone", {}, false, 1, {}, {}, {}, from)->id());
                }
                parts[t] = FileNode::create("part" + std::to_string(t), {}, true, 0, {}, {},
                                            std::move(files), &arena);
                ids[t].push_back(parts[t]->id());
            });
        for (std::thread& thread : threads)
            thread.join();
        {
            NodeArena arena;
            NodeRef root =
                FileNode::create("all", "/all", true, 0, {}, {}, std::move(parts), &arena);
            std::unordered_set<NodeId> distinct;
            for (const std::vector<NodeId>& list : ids)
                distinct.insert(list.begin(), list.end());
            QCOMPARE(distinct.size(), std::size_t(kThreads) * (2 * kFiles + 1));
            QVERIFY(!distinct.count(root->id()));
            QCOMPARE(recount(*root, "/all"),
                     (Totals{kThreads * kFiles, kThreads * kFiles, kThreads + 1, 0}));
            std::thread([tree = std::move(root)]() mutable { tree = NodeRef(); }).join();
        }
        QCOMPARE(NodeArena::mappedBytes(), before);
    }

    // A count that saturates sticks: such a node is never freed, and never freed too early.
    void aReferenceCountThatSaturatesSticks()
    {
        NodeRef node = file("popular", 1);
        std::vector<NodeRef> holders(70000, node);
        QCOMPARE(node->useCount(), 65535u);
        holders.clear();
        QCOMPARE(node->useCount(), 65535u);
        QCOMPARE(node->nameBytes(), "popular");
    }

    void veryDeepTreesAreDestroyedWithoutRecursion()
    {
        NodeArena arena;
        NodeRef node = FileNode::create("leaf", {}, false, 1, {}, {}, {}, &arena);
        for (int depth = 0; depth < 100000; ++depth)
            node = FileNode::create("d", {}, true, 0, {}, {}, {node}, &arena);
        QCOMPARE(node->cachedDirCount(), 100000);
        QCOMPARE(node->cachedSize(), 1);
        node = NodeRef(); // must not overflow the stack
    }
};

QTEST_GUILESS_MAIN(FileNodeTest)
#include "tst_filenode.moc"
