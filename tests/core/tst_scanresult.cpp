#include "models/FileOrder.h"
#include "models/ScanResult.h"

#include <QCollator>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace plenvo;

namespace {

NodeRef file(const std::string& name, qint64 size)
{
    return FileNode::create(name, {}, false, size, {}, {});
}

NodeRef folder(const std::string& name, std::vector<NodeRef> children, std::string_view path = {})
{
    return FileNode::create(name, path, true, 0, {}, {}, std::move(children));
}

// The names of a list, each followed by a space.
QByteArray namesOf(const std::vector<NodeRef>& nodes)
{
    QByteArray names;
    for (const NodeRef& n : nodes)
        names += QByteArray(n->nameBytes().data(), qsizetype(n->nameBytes().size())) + ' ';
    return names;
}

// The order, written plainly: a stable sort by size, then by the collator on display names.
std::vector<NodeRef> referenceOrder(std::vector<NodeRef> files, const QLocale& locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(files.begin(), files.end(), [&](const NodeRef& a, const NodeRef& b) {
        if (a->fileSize() != b->fileSize())
            return a->fileSize() > b->fileSize();
        return collator.compare(a->name(), b->name()) < 0;
    });
    return files;
}

// Names that tie on size and stress the name order: case, punctuation, digits, prefixes,
// long common prefixes, accents, other scripts and bytes that are not UTF-8.
std::vector<NodeRef> trickyFiles(int count, quint32 seed)
{
    static const QList<QByteArray> pieces =
        QByteArray(
            "a|A|b|B|z|Z|_|-| |.|0|9|10|~|(|'|ch|CH|ll|aa|\xC3\xA9|\xC3\x89|\xC3\x9F|"
            "\xE6\x97\xA5\xE6\x9C\xAC|\xD1\x84|\xFF|e\xCC\x81|IMG_2023|report|Report|.txt|.TXT")
            .split('|');
    QRandomGenerator random(seed);
    std::vector<NodeRef> files;
    for (int i = 0; i < count; ++i) {
        QByteArray name;
        for (int p = 1 + int(random.bounded(5)); p > 0; --p)
            name += pieces[random.bounded(quint32(pieces.size()))];
        files.push_back(file(name.toStdString(), qint64(random.bounded(4)) * 4096));
    }
    return files;
}

} // namespace

class ScanResultTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void edgeCases()
    {
        ScanResult empty(folder("empty", {}, "/e"), 0, "/e");
        QCOMPARE(empty.totalDirectories(), 1);
        QVERIFY(empty.allFiles().empty() && empty.topFiles().empty() &&
                empty.categoryStat().empty());
        for (FileCategory c : FileCategory::allCases())
            QVERIFY(empty.files(c).empty() && !empty.hasFilesEntry(c));

        // A single file scanned on its own is in every list.
        ScanResult single(FileNode::create("movie.mkv", "/m/movie.mkv", false, 5000, {}, {}), 0,
                          "/m/movie.mkv");
        QCOMPARE(std::tuple(single.totalSize(), single.totalFiles(), single.totalDirectories()),
                 std::tuple(5000, 1, 0));
        QCOMPARE(single.allFiles().size() + single.topFiles().size(), 2u);
        QCOMPARE(single.files(FileCategory::videos).size(), 1u);
        QCOMPARE(single.categoryStat(),
                 (std::vector<CategoryStat>{{FileCategory::videos, 5000, 1}}));
    }

    void listsAndStatistics()
    {
        // Equal sizes order by name ignoring case; equal names keep their collection order.
        NodeRef root =
            folder("r",
                   {file("b", 100), file("A", 100), file("zero.txt", 0), file("same.txt", 100),
                    folder("sub", {file("SAME.txt", 100), file("big.txt", 900),
                                   folder("deeper", {file("song.mp3", 50)})}),
                    file("c.jpg", 30), folder("pics", {file("d.jpg", 10)})},
                   "/r");
        ScanResult result(root, 0, "/r");
        QCOMPARE(namesOf(result.allFiles()),
                 QByteArray("b A zero.txt same.txt SAME.txt big.txt song.mp3 c.jpg d.jpg "));
        QCOMPARE(namesOf(result.topFiles()),
                 QByteArray("big.txt A b same.txt SAME.txt song.mp3 c.jpg d.jpg zero.txt "));
        QCOMPARE(namesOf(result.files(FileCategory::documents)),
                 QByteArray("big.txt same.txt SAME.txt zero.txt "));
        QCOMPARE(result.totalDirectories(), 4);
        // Largest first; zero-byte files count in their category without adding to its size.
        QCOMPARE(result.categoryStat(),
                 (std::vector<CategoryStat>{{FileCategory::documents, 1100, 4},
                                            {FileCategory::other, 200, 2},
                                            {FileCategory::audio, 50, 1},
                                            {FileCategory::images, 40, 2}}));
    }

    // Removing the last file of a category drops its statistic, but not its entry. Ids of
    // folders and unknown ids match no file: a folder that left the tree keeps its files in
    // the lists, but the totals follow the tree.
    void removals()
    {
        NodeRef song = file("only.flac", 70);
        NodeRef sub = folder("sub", {file("x.txt", 5)});
        NodeRef root = folder("r", {file("a.txt", 10), folder("music", {song}), sub}, "/r");
        const NodeRef stranger = file("a.txt", 10); // of no tree
        ScanResult result(root, 0, "/r");
        QVERIFY(song->parent()->removeChild(*song) && root->removeChild(*sub));
        result.removeNodes({song->id(), sub->id(), stranger->id()});
        QCOMPARE(result.categoryStat(),
                 (std::vector<CategoryStat>{{FileCategory::documents, 15, 2}}));
        QVERIFY(result.hasFilesEntry(FileCategory::audio));
        QVERIFY(result.files(FileCategory::audio).empty());
        QCOMPARE(namesOf(result.allFiles()), QByteArray("a.txt x.txt "));
        QCOMPARE(namesOf(result.topFiles()), QByteArray("a.txt x.txt "));
        QCOMPARE(result.files(FileCategory::documents).size(), 2u);
        QCOMPARE(std::tuple(result.totalSize(), result.totalFiles(), result.totalDirectories()),
                 std::tuple(10, 1, 2)); // the emptied folder stays
    }

    void removalsMatchAResultBuiltAfresh()
    {
        // Many ties on size and on name, spread over folders; files leave in random batches.
        QRandomGenerator random(7);
        std::vector<NodeRef> all = trickyFiles(1500, 11);
        std::vector<NodeRef> folders;
        for (int f = 0; f < 10; ++f) {
            std::vector<NodeRef> part(all.begin() + f * 150, all.begin() + (f + 1) * 150);
            for (int i = 0; i < 150; i += 7) // extensions of several categories
                part[std::size_t(i)] =
                    file("x" + std::to_string(f * 1000 + i) + (i % 2 ? ".jpg" : ".mp3"), 4096);
            folders.push_back(folder("d" + std::to_string(f), std::move(part)));
        }
        NodeRef root = folder("r", std::move(folders), "/r");
        ScanResult result(root, 0, "/r");
        for (int round = 0; round < 6; ++round) {
            NodeIdSet ids;
            std::vector<NodeRef> files = result.allFiles();
            for (int k = 0; k < 120 && !files.empty(); ++k) {
                const NodeRef& victim = files[random.bounded(quint32(files.size()))];
                if (ids.insert(victim->id()).second)
                    victim->parent()->removeChild(*victim);
            }
            result.removeNodes(ids);
            ScanResult fresh(root, 0, "/r");
            QCOMPARE(result.allFiles(), fresh.allFiles());
            QCOMPARE(fresh.topFiles().size(), 200u);
            QCOMPARE(result.topFiles(), fresh.topFiles());
            QCOMPARE(result.categoryStat(), fresh.categoryStat());
            for (FileCategory c : FileCategory::allCases())
                if (fresh.hasFilesEntry(c))
                    QCOMPARE(result.files(c), fresh.files(c));
            QCOMPARE(result.totalSize(), fresh.totalSize());
            QCOMPARE(result.totalFiles(), fresh.totalFiles());
        }
    }

    // The lists of the categories are put in order when first asked for: asked for after every
    // change (removals, files put back, files resized) or only at the end, they are the same.
    void listsAskedForLateAreTheSame()
    {
        struct Side {
            NodeRef root;
            std::unique_ptr<ScanResult> result;
            std::vector<std::pair<NodeRef, NodeRef>> removed; // parent, file
        };
        const auto build = [] {
            std::vector<NodeRef> all = trickyFiles(1200, 5);
            std::vector<NodeRef> folders;
            for (int f = 0; f < 6; ++f) {
                std::vector<NodeRef> part(all.begin() + f * 200, all.begin() + (f + 1) * 200);
                for (int i = 0; i < 200; i += 5)
                    part[std::size_t(i)] = file("x" + std::to_string(i % 40) +
                                                    (i % 2 ? ".jpg" : ".mp3"),
                                                4096 * (i % 3));
                folders.push_back(folder("d" + std::to_string(f), std::move(part)));
            }
            Side side;
            side.root = folder("r", std::move(folders), "/r");
            side.result = std::make_unique<ScanResult>(side.root, 0, "/r");
            return side;
        };
        Side early = build(), late = build();
        const auto listed = [](const std::vector<NodeRef>& files) {
            QByteArray text;
            for (const NodeRef& f : files)
                text += QByteArray::fromStdString(std::string(f->nameBytes())) + ':' +
                        QByteArray::number(f->fileSize()) + ' ';
            return text;
        };
        QRandomGenerator random(3);
        for (int round = 0; round < 9; ++round) {
            std::vector<std::size_t> picks;
            for (int k = 0; k < 40; ++k)
                picks.push_back(random.bounded(quint32(early.result->allFiles().size())));
            const qint64 newSize = 4096 * qint64(random.bounded(3));
            for (Side* side : {&early, &late}) {
                ScanResult& result = *side->result;
                if (round % 3 == 0) { // removals
                    NodeIdSet ids;
                    for (std::size_t pick : picks) {
                        const NodeRef victim = result.allFiles()[pick];
                        if (ids.insert(victim->id()).second) {
                            side->removed.push_back({NodeRef(victim->parent()), victim});
                            victim->parent()->removeChild(*victim);
                        }
                    }
                    result.removeNodes(ids);
                } else if (round % 3 == 1) { // half of what left comes back
                    std::vector<NodeRef> back;
                    while (side->removed.size() > back.size()) {
                        auto [parent, node] = side->removed.back();
                        side->removed.pop_back();
                        QVERIFY(parent->addChild(node));
                        back.push_back(node);
                    }
                    result.addFiles(back);
                } else { // resized
                    for (std::size_t pick : picks)
                        result.resizeFile(result.allFiles()[pick], newSize);
                }
            }
            for (FileCategory c : FileCategory::allCases())
                early.result->files(c);
        }
        QCOMPARE(listed(late.result->allFiles()), listed(early.result->allFiles()));
        QCOMPARE(listed(late.result->topFiles()), listed(early.result->topFiles()));
        QCOMPARE(late.result->categoryStat(), early.result->categoryStat());
        for (FileCategory c : FileCategory::allCases()) {
            QCOMPARE(listed(late.result->files(c)), listed(early.result->files(c)));
            QCOMPARE(late.result->files(c), referenceOrder(late.result->files(c), QLocale()));
        }
    }

    // Czech sorts "ch" after "h", Danish "aa" after "z": there, the rank order of single
    // letters would be wrong, and ASCII names take no fast path.
    void theFastNameOrderAgreesWithTheCollator()
    {
        const std::pair<QLocale, bool> cases[] = {
            {QLocale(QLocale::English, QLocale::UnitedStates), true},
            {QLocale(QLocale::Chinese, QLocale::China), true},
            {QLocale(QLocale::German, QLocale::Germany), true},
            {QLocale(QLocale::Czech, QLocale::CzechRepublic), false},
            {QLocale(QLocale::Danish, QLocale::Denmark), false}};
        for (const auto& [locale, fast] : cases) {
            const FileOrder order(locale);
            QCOMPARE(order.usesFastPath(), fast);
            for (quint32 seed = 1; seed <= 3; ++seed) {
                std::vector<NodeRef> files = trickyFiles(3000, seed);
                const std::vector<NodeRef> expected = referenceOrder(files, locale);
                std::vector<NodeRef> sorted = files;
                order.sort(sorted);
                QCOMPARE(sorted, expected); // the same nodes: ties keep their order
                QCOMPARE(order.first(files, 200),
                         std::vector(expected.begin(), expected.begin() + 200));
            }
        }
    }
};

QTEST_GUILESS_MAIN(ScanResultTest)
#include "tst_scanresult.moc"
