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

// The first node named `name` under `from`, depth first.
NodeRef find(const NodeRef& from, std::string_view name)
{
    for (const NodeRef& child : from->children())
        if (NodeRef found = child->nameBytes() == name ? child : find(child, name))
            return found;
    return {};
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

const std::vector<Entry> kProjects = {
    {"app/src/main.cpp", 4000}, {"app/src/util.cpp", 2000}, {"app/README.md", 500},
    {"docs/guide.pdf", 3000},   {"logo.png", 1500},         {"empty/none.txt", 0},
    {"notes.txt", 0},
};

struct Fixture {
    Fixture() : trash(std::make_shared<FakeTrash>()), state(trash)
    {
        state.showResult(makeResult("/home/user/Projects", kProjects));
        view.reset(qobject_cast<TreeMapView*>(
            factory.createDetailView(SidebarItem::treeMap, state, nullptr)));
        QVERIFY(view);
        view->resize(800, 500);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    NodeRef node(std::string_view name) const { return find(view->rootNode(), name); }

    std::shared_ptr<FakeTrash> trash;
    AppState state;
    FakeFileManager fileManager;
    FakeClipboard clipboard;
    AnalysisViewFactory factory{fileManager, clipboard};
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

    // The name above 50 x 30, the size as well above 40 high (the cell, before the margins).
    void labelThresholds()
    {
        const struct {
            QSizeF cell;
            bool name, size;
        } rows[] = {{{50, 100}, false, false},
                    {{100, 30}, false, false},
                    {{51, 31}, true, false},
                    {{51, 40}, true, false},
                    {{51, 41}, true, true}};
        for (const auto& row : rows) {
            QCOMPARE(TreemapCanvas::showsName(QRectF(QPointF(3, 7), row.cell)), row.name);
            QCOMPARE(TreemapCanvas::showsSize(QRectF(QPointF(3, 7), row.cell)), row.size);
        }
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
        f.view->setCurrentNode(f.node("src"));
        f.state.deleteFile(f.node("main.cpp"));
        QCOMPARE(f.trash->requests(),
                 (std::vector<std::string>{"/home/user/Projects/app/src/main.cpp"}));
        QVERIFY(f.view->currentNode() == f.node("src"));
        QCOMPARE(tileNames(*f.view->canvas()), (QStringList{"util.cpp"}));
        QCOMPARE(f.view->sizeText(), FormatUtils::formatBytes(2000));
        // The folder shown is itself cut out of the tree: nothing of it is left to show.
        f.state.deleteFile(f.node("app"));
        QVERIFY(f.view->currentNode() == f.view->rootNode());
        QCOMPARE(tileNames(*f.view->canvas()), (QStringList{"docs", "logo.png"}));
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
            QApplication::setPalette(QPalette(QColor(0x35, 0x35, 0x35)));
        std::vector<Entry> entries{{"notes.txt", 40000000}, {"Desktop/", 0}};
        const auto add = [&](const std::string& prefix, std::vector<const char*> kinds, int count,
                             double size) {
            for (int i = 0; i < count; ++i)
                entries.push_back(
                    {prefix + std::to_string(i) + kinds[std::size_t(i) % kinds.size()],
                     std::int64_t(size / (1 + 0.3 * i))});
        };
        add("Videos/clip", {".mov", ".mp4", ".mkv"}, 4, 3e9);
        add("Photos/IMG_", {".jpg", ".heic"}, 40, 4e8);
        add("Projects/app/src/file", {".cpp", ".h"}, 12, 3e8);
        add("Projects/site/page", {".html", ".svg", ".css"}, 6, 2e8);
        add("Music/track", {".flac"}, 24, 6e7);
        add("Downloads/file", {".pdf", ".zip", ".mp4", ".jpg", ".deb", ".mp3", ".py"}, 30, 2e8);

        AppState state(std::make_shared<FakeTrash>());
        state.showResult(makeResult("/home/user", entries));
        FakeFileManager fileManager;
        TreeMapView view(state, fileManager);
        view.resize(1000, 650);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QString suffix = dark ? QStringLiteral("-dark") : QStringLiteral("-light");
        const NodeRef photos = find(view.rootNode(), "Photos");
        QCOMPARE(qRound(TreemapCanvas::colorFor(*photos, view.palette()).valueF() * 100),
                 dark ? 55 : 65);
        // A point of the tile away from its label: the hovered fill is more opaque.
        const QPoint inside = centreOf(*view.canvas(), "Photos") + QPoint(0, 30);
        const QColor plain = view.canvas()->grab().toImage().pixelColor(inside);
        moveMouse(view.canvas(), inside);
        QVERIFY(view.canvas()->grab().toImage().pixelColor(inside) != plain);
        save(view, QStringLiteral("treemap-home") + suffix);
        view.setCurrentNode(find(view.rootNode(), "Downloads"));
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
