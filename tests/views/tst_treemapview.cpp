#include "FakeClipboard.h"
#include "FakeFileManager.h"
#include "ResultBuilder.h"
#include "state/FakeTrash.h"

#include "AppState.h"
#include "analysis/AnalysisViewFactory.h"
#include "analysis/TreeMapView.h"
#include "analysis/TreemapCanvas.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>
#include <QToolButton>

using namespace plenvo;
using namespace plenvo::test;

namespace {

// A node under `from` by its "/"-separated path.
NodeRef nodeAt(NodeRef from, std::string_view path)
{
    while (!path.empty() && from) {
        const std::size_t cut = std::min(path.find('/'), path.size());
        NodeRef next;
        for (const NodeRef& child : from->children())
            if (child->nameBytes() == path.substr(0, cut))
                next = child;
        from = next;
        path.remove_prefix(std::min(cut + 1, path.size()));
    }
    return from;
}

QStringList tileNames(const TreemapCanvas& canvas)
{
    QStringList names;
    for (const TreemapTile& tile : canvas.tiles())
        names << tile.node->name();
    return names;
}

QPoint centreOf(const TreemapCanvas& canvas, const QString& name)
{
    for (const TreemapTile& tile : canvas.tiles())
        if (tile.node->name() == name)
            return TreemapLayout::tileRect(tile.rect).center().toPoint();
    return {-1, -1};
}

void moveMouse(QWidget* widget, QPoint position)
{
    QMouseEvent move(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x1e));
    p.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
    p.setColor(QPalette::Base, QColor(0x28, 0x28, 0x28));
    p.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::ButtonText, QColor(0xf0, 0xf0, 0xf0));
    p.setColor(QPalette::Mid, QColor(0x44, 0x44, 0x44));
    return p;
}

const std::vector<Entry> kProjects = {
    {"app/src/main.cpp", 4000}, {"app/src/util.cpp", 2000}, {"app/README.md", 500},
    {"docs/guide.pdf", 3000},   {"logo.png", 1500},         {"empty/none.txt", 0},
    {"notes.txt", 0},
};

struct Fixture {
    explicit Fixture(const std::vector<Entry>& entries = kProjects, QSize size = {800, 500})
        : trash(std::make_shared<FakeTrash>()), state(trash)
    {
        state.showResult(makeResult("/home/user/Projects", entries));
        view = std::make_unique<TreeMapView>(state, fileManager);
        view->resize(size);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    NodeRef node(std::string_view path) const { return nodeAt(view->rootNode(), path); }

    std::shared_ptr<FakeTrash> trash;
    AppState state;
    FakeFileManager fileManager;
    std::unique_ptr<TreeMapView> view;
};

} // namespace

class TreeMapViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }

    void labelThresholds_data()
    {
        QTest::addColumn<QSizeF>("cell");
        QTest::addColumn<bool>("name");
        QTest::addColumn<bool>("size");
        QTest::newRow("exactly 50 wide") << QSizeF(50, 100) << false << false;
        QTest::newRow("exactly 30 high") << QSizeF(100, 30) << false << false;
        QTest::newRow("51 x 31") << QSizeF(51, 31) << true << false;
        QTest::newRow("51 x 40") << QSizeF(51, 40) << true << false;
        QTest::newRow("51 x 41") << QSizeF(51, 41) << true << true;
    }

    void labelThresholds()
    {
        QFETCH(QSizeF, cell);
        QFETCH(bool, name);
        QFETCH(bool, size);
        QCOMPARE(TreemapCanvas::showsName(QRectF(QPointF(3, 7), cell)), name);
        QCOMPARE(TreemapCanvas::showsSize(QRectF(QPointF(3, 7), cell)), size);
    }

    // Folder clicks go down (also into a folder with nothing to show), "Back" goes up one
    // level, home goes to the top; "Back" shows only below the root.
    void navigation()
    {
        Fixture f;
        TreeMapView& view = *f.view;
        TreemapCanvas* canvas = view.canvas();
        QCOMPARE(tileNames(*canvas), (QStringList{"app", "docs", "logo.png"}));
        QVERIFY(view.backButton()->isHidden());
        QCOMPARE(view.sizeText(), FormatUtils::formatBytes(11000));

        QTest::mouseClick(canvas, Qt::LeftButton, {}, centreOf(*canvas, "app"));
        QVERIFY(view.currentNode() == f.node("app"));
        QCOMPARE(view.folderNameText(), QStringLiteral("app"));
        QCOMPARE(canvas->accessibleName(), QStringLiteral("app"));
        QCOMPARE(view.backButton()->text(), L("treemap.goBack"));
        QVERIFY(!view.backButton()->isHidden());
        QTest::mouseClick(canvas, Qt::LeftButton, {}, centreOf(*canvas, "src"));
        QCOMPARE(tileNames(*canvas), (QStringList{"main.cpp", "util.cpp"}));

        view.backButton()->click();
        QVERIFY(view.currentNode() == f.node("app"));
        view.homeButton()->click();
        QVERIFY(view.currentNode() == view.rootNode());
        QVERIFY(view.backButton()->isHidden());
        view.goBack(); // nothing above the root
        QVERIFY(view.currentNode() == view.rootNode());

        view.setCurrentNode(f.node("empty"));
        QVERIFY(canvas->tiles().empty());
        QVERIFY(!view.backButton()->isHidden());
        view.setCurrentNode(f.node("logo.png")); // a file is not a folder to open
        QVERIFY(view.currentNode() == f.node("empty"));
    }

    void fileClickReveals()
    {
        Fixture f;
        TreemapCanvas* canvas = f.view->canvas();
        QTest::mouseClick(canvas, Qt::LeftButton, {}, centreOf(*canvas, "logo.png"));
        QCOMPARE(f.fileManager.revealed,
                 (std::vector<std::vector<std::string>>{{"/home/user/Projects/logo.png"}}));
        QVERIFY(f.view->currentNode() == f.view->rootNode());
        // A press on one tile released on another is no click.
        QTest::mousePress(canvas, Qt::LeftButton, {}, centreOf(*canvas, "logo.png"));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, centreOf(*canvas, "app"));
        QCOMPARE(f.fileManager.revealed.size(), std::size_t(1));
        QVERIFY(f.view->currentNode() == f.view->rootNode());
    }

    // Hover follows mouse moves and is cleared on leaving; it repaints without laying out
    // again, while a new size lays out once.
    void hover()
    {
        Fixture f;
        TreemapCanvas* canvas = f.view->canvas();
        const std::uint64_t layouts = canvas->layoutCount();
        moveMouse(canvas, centreOf(*canvas, "docs"));
        QCOMPARE(canvas->hoveredNodeId(), std::optional(f.node("docs")->id()));
        moveMouse(canvas, {0, 0}); // the margin around a tile
        QCOMPARE(canvas->hoveredNodeId(), std::nullopt);
        moveMouse(canvas, centreOf(*canvas, "app"));
        QCOMPARE(canvas->hoveredNodeId(), std::optional(f.node("app")->id()));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(canvas, &leave);
        QCOMPARE(canvas->hoveredNodeId(), std::nullopt);
        QCOMPARE(canvas->layoutCount(), layouts);

        f.view->resize(600, 400);
        canvas->grab();
        canvas->tiles();
        QCOMPARE(canvas->layoutCount(), layouts + 1);
    }

    // A deletion redraws the same folder without the removed tile, with the new size; when
    // the folder itself goes, the view goes home.
    void deletionKeepsTheFolder()
    {
        Fixture f;
        f.view->setCurrentNode(f.node("app/src"));
        f.state.deleteFile(f.node("app/src/main.cpp"));
        QCOMPARE(f.trash->requests(),
                 (std::vector<std::string>{"/home/user/Projects/app/src/main.cpp"}));
        QVERIFY(f.view->currentNode() == f.node("app/src"));
        QCOMPARE(tileNames(*f.view->canvas()), (QStringList{"util.cpp"}));
        QCOMPARE(f.view->sizeText(), FormatUtils::formatBytes(2000));
        // The folder shown is itself cut out of the tree: nothing of it is left to show.
        f.state.deleteFile(f.node("app"));
        QVERIFY(f.view->currentNode() == f.view->rootNode());
        QCOMPARE(tileNames(*f.view->canvas()), (QStringList{"docs", "logo.png"}));
    }

    void factoryMakesTheTreemap()
    {
        AppState state(std::make_shared<FakeTrash>());
        state.showResult(makeResult("/home/user/Projects", kProjects));
        FakeFileManager fileManager;
        FakeClipboard clipboard;
        AnalysisViewFactory factory(fileManager, clipboard);
        std::unique_ptr<QWidget> view(
            factory.createDetailView(SidebarItem::treeMap, state, nullptr));
        QVERIFY(qobject_cast<TreeMapView*>(view.get()));
    }

    // Pictures of a home folder and of a folder inside it, light and dark; written as PNGs
    // when PLENVO_SCREENSHOT_DIR is set.
    void screenshots_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }

    void screenshots()
    {
        QFETCH(bool, dark);
        const QPalette light = QApplication::palette();
        if (dark)
            QApplication::setPalette(darkPalette());
        std::vector<Entry> entries;
        const char* videos[] = {"trip.mov", "talk.mp4", "clip.mkv", "demo.webm"};
        for (int i = 0; i < 4; ++i)
            entries.push_back({std::string("Videos/") + videos[i], 3000000000 / (i + 1)});
        for (int i = 0; i < 40; ++i)
            entries.push_back({"Photos/IMG_" + std::to_string(1000 + i) + ".jpg",
                               (40000000 + 970000 * ((i * 37) % 41))});
        const char* projects[] = {"app/src/main.cpp", "app/src/view.cpp", "app/build/app.o",
                                  "site/index.html",  "site/logo.svg",    "data/dump.sql",
                                  "data/archive.zip"};
        for (int i = 0; i < 7; ++i)
            entries.push_back({std::string("Projects/") + projects[i], 1500000000 / (i + 2)});
        for (int i = 0; i < 24; ++i)
            entries.push_back(
                {"Music/track" + std::to_string(i) + ".flac", 30000000 + 1000000 * ((i * 7) % 24)});
        const char* kinds[] = {".pdf", ".zip", ".mp4", ".jpg", ".deb", ".mp3", ".py"};
        for (int i = 0; i < 30; ++i)
            entries.push_back({"Downloads/file" + std::to_string(i) + kinds[i % 7],
                               std::int64_t(200000000 / (i + 1))});
        entries.push_back({"notes.txt", 40000000});
        entries.push_back({"Desktop/", 0});

        AppState state(std::make_shared<FakeTrash>());
        state.showResult(makeResult("/home/user", entries));
        FakeFileManager fileManager;
        TreeMapView view(state, fileManager);
        view.resize(1000, 650);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QString suffix = dark ? QStringLiteral("-dark") : QStringLiteral("-light");
        const NodeRef photos = nodeAt(view.rootNode(), "Photos");
        QCOMPARE(qRound(TreemapCanvas::colorFor(*photos, view.palette()).valueF() * 100),
                 dark ? 55 : 65);
        // A point of the tile away from its label: the hovered fill is more opaque.
        const QPoint inside = centreOf(*view.canvas(), "Photos") + QPoint(0, 30);
        const QColor plain = view.canvas()->grab().toImage().pixelColor(inside);
        moveMouse(view.canvas(), inside);
        QVERIFY(view.canvas()->grab().toImage().pixelColor(inside) != plain);
        save(view, QStringLiteral("treemap-home") + suffix);
        view.setCurrentNode(nodeAt(view.rootNode(), "Downloads"));
        QTRY_VERIFY(!view.canvas()->isFading());
        save(view, QStringLiteral("treemap-downloads") + suffix);
        QApplication::setPalette(light);
    }

private:
    void save(QWidget& widget, const QString& name)
    {
        QApplication::processEvents();
        const QPixmap shot = widget.grab();
        QVERIFY(!shot.isNull());
        const QString dir = qEnvironmentVariable("PLENVO_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        QDir().mkpath(dir);
        QVERIFY(shot.save(dir + QLatin1Char('/') + name + QStringLiteral(".png")));
    }
};

QTEST_MAIN(TreeMapViewTest)
#include "tst_treemapview.moc"
