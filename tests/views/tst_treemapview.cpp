// The treemap view over an in-memory result: navigation, files revealed on a click, hover,
// labels, colours, and how it follows deletions (to a fake Trash).

#include "ViewTestSupport.h"

#include "analysis/FileActions.h"

#include <QMenu>

#include "analysis/TreeMapView.h"
#include "analysis/TreemapCanvas.h"
#include "geometry/TreemapNavigation.h"
#include "models/FileCategory.h"
#include "theme/Colors.h"
#include "theme/Contrast.h"

#include <QMouseEvent>
#include <QPushButton>

using namespace plenvo;
using namespace plenvo::test;
using namespace Qt::StringLiterals;

namespace {

QStringList tileNames(const TreemapCanvas& canvas)
{
    QStringList names;
    for (const TreemapTile& tile : canvas.tiles())
        names << tile.node->name();
    return names;
}

QRect tileOf(const TreemapCanvas& canvas, const QString& name)
{
    for (const TreemapTile& tile : canvas.tiles())
        if (tile.node->name() == name)
            return TreemapLayout::tileRect(tile.rect).toRect();
    return {};
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

struct Fixture : ViewFixture {
    Fixture()
        : ViewFixture("/home/user/Projects", kProjects),
          view(create<TreeMapView>(SidebarItem::treeMap))
    {
        view->resize(800, 500);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }

    std::unique_ptr<TreeMapView> view;
};

} // namespace

class TreeMapViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpViewTests(); }

    // No label up to 50 x 30, the name above that, the size as well above 40 high (the cell,
    // before the margins).
    void labelThresholds()
    {
        const auto labels = [](qreal width, qreal height) {
            const QRectF cell(3, 7, width, height);
            return int(TreemapCanvas::showsName(cell)) + int(TreemapCanvas::showsSize(cell));
        };
        QCOMPARE((QList<int>{labels(50, 100), labels(100, 30), labels(51, 31), labels(51, 40),
                             labels(51, 41)}),
                 (QList<int>{0, 0, 1, 1, 2}));
    }

    // The size of a folder a stopped scan did not finish reads "at least", in the header and as
    // its tile is heard; a finished folder's does not.
    void unfinishedFoldersCountAtLeast()
    {
        Fixture f;
        markStopped(*f.state.scanResult(), {"app/src"});
        const auto view = f.create<TreeMapView>(SidebarItem::treeMap);
        QCOMPARE(view->sizeText(), L("amount.atLeast %@", FormatUtils::formatBytes(11000)));
        QCOMPARE(TreemapCanvas::spokenText(*f.node("app")),
                 L("treemap.folderTile %@ %@", u"app"_s, FormatUtils::formatBytes(6500, true)));
        QCOMPARE(TreemapCanvas::spokenText(*f.node("docs")),
                 L("treemap.folderTile %@ %@", u"docs"_s, FormatUtils::formatBytes(3000)));
    }

    // Folder clicks go down (also into a folder with nothing to show), "Back" goes up one
    // level, home goes to the top; "Back" shows only below the root. A file click reveals the
    // file; a press on one tile released on another is no click.
    void clicksAndNavigation()
    {
        Fixture f;
        TreeMapView& view = *f.view;
        TreemapCanvas* canvas = view.canvas();
        QCOMPARE(tileNames(*canvas), (QStringList{"app", "docs", "logo.png"}));
        QVERIFY(view.backButton()->isHidden());
        QCOMPARE(view.sizeText(), FormatUtils::formatBytes(11000));
        QTest::mouseClick(canvas, Qt::LeftButton, {}, tileOf(*canvas, "logo.png").center());
        QTest::mousePress(canvas, Qt::LeftButton, {}, tileOf(*canvas, "logo.png").center());
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, tileOf(*canvas, "app").center());
        QCOMPARE(f.fileManager.revealed,
                 (std::vector<std::vector<std::string>>{{"/home/user/Projects/logo.png"}}));
        QVERIFY(view.currentNode() == view.rootNode());

        QTest::mouseClick(canvas, Qt::LeftButton, {}, tileOf(*canvas, "app").center());
        QVERIFY(view.currentNode() == f.node("app"));
        QCOMPARE(view.folderNameText(), QStringLiteral("app"));
        // The click gave the area the focus: it names the tile the keyboard is on.
        QCOMPARE(canvas->accessibleName(),
                 TreemapCanvas::spokenText(*canvas->tiles().front().node));
        QVERIFY(!view.backButton()->isHidden());
        QTest::mouseClick(canvas, Qt::LeftButton, {}, tileOf(*canvas, "src").center());
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

    // Hover follows mouse moves, fills the tile more opaquely and is cleared on leaving; it
    // repaints without laying out again, while a new size lays out once. A folder's hue comes
    // from its name; on a dark palette it is darker.
    void hoverAndColours()
    {
        Fixture f;
        TreemapCanvas* canvas = f.view->canvas();
        const std::uint64_t layouts = canvas->layoutCount();
        const QPoint plainPoint = tileOf(*canvas, "docs").topLeft() + QPoint(8, 8);
        const QColor plain = canvas->grab().toImage().pixelColor(plainPoint);
        moveMouse(canvas, tileOf(*canvas, "docs").center());
        QCOMPARE(canvas->hoveredNodeId(), std::optional(f.node("docs")->id()));
        QVERIFY(canvas->grab().toImage().pixelColor(plainPoint) != plain);
        moveMouse(canvas, {0, 0}); // the margin around a tile
        QCOMPARE(canvas->hoveredNodeId(), std::nullopt);
        moveMouse(canvas, tileOf(*canvas, "app").center());
        QCOMPARE(canvas->hoveredNodeId(), std::optional(f.node("app")->id()));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(canvas, &leave);
        QCOMPARE(canvas->hoveredNodeId(), std::nullopt);
        QCOMPARE(canvas->grab().toImage().pixelColor(plainPoint), plain);
        QCOMPARE(canvas->layoutCount(), layouts);

        f.view->resize(600, 400);
        canvas->grab();
        canvas->tiles();
        QCOMPARE(canvas->layoutCount(), layouts + 1);

        const QColor light = TreemapCanvas::colorFor(*f.node("app"), QApplication::palette());
        const QColor dark = TreemapCanvas::colorFor(*f.node("app"), darkPalette());
        QCOMPARE(dark.hsvHue(), light.hsvHue());
        QVERIFY(dark.valueF() < light.valueF());
        QVERIFY(TreemapCanvas::colorFor(*f.node("docs"), darkPalette()).hsvHue() != dark.hsvHue());
    }

    // Labels read on every tile: a category's colour or a folder's hue, plain or hovered, in
    // both schemes (white on the yellow of archives did not).
    void labelsReadOnEveryTile()
    {
        for (const QPalette& palette : {QApplication::palette(), darkPalette()}) {
            const QColor window = palette.color(QPalette::Window);
            std::vector<QColor> fills;
            for (std::size_t c = 0; c < FileCategory::kCount; ++c)
                fills.push_back(
                    Colors::color(FileCategory(FileCategory::Value(c)).color(), palette));
            for (int i = 0; i < 360; ++i) {
                const auto folder = makeResult("/r", {{"f" + std::to_string(i) + "/x", 1}});
                fills.push_back(
                    TreemapCanvas::colorFor(*folder->rootNode()->children()[0], palette));
            }
            for (const QColor& fill : fills) {
                for (qreal opacity :
                     {TreemapCanvas::kFillOpacity, TreemapCanvas::kHoveredFillOpacity}) {
                    const QColor tile = Contrast::over(Colors::withOpacity(fill, opacity), window);
                    const auto label =
                        TreemapCanvas::labelColors(Colors::withOpacity(fill, opacity), window);
                    QVERIFY2(Contrast::ratio(label.name, tile) >= Contrast::kText,
                             qPrintable(fill.name()));
                    QVERIFY2(Contrast::ratio(Contrast::over(label.size, tile), tile) >=
                                 Contrast::kText,
                             qPrintable(fill.name()));
                }
            }
        }
    }

    // From the keyboard: the focus lands on the largest tile, the arrows go where the layout's
    // navigation says, Enter opens a folder (on its largest tile) or reveals a file, Backspace
    // goes up, back onto the folder left. The focused tile is drawn with a ring and named.
    void keyboard()
    {
        Fixture f;
        TreeMapView& view = *f.view;
        TreemapCanvas* canvas = view.canvas();
        const auto focusedName = [&] {
            for (const TreemapTile& tile : canvas->tiles())
                if (canvas->focusedNodeId() == tile.node->id())
                    return tile.node->name();
            return QString();
        };
        const QImage unfocused = canvas->grab().toImage();
        view.setFocus();
        QTRY_VERIFY(canvas->hasFocus());
        QCOMPARE(focusedName(), QStringLiteral("app"));
        QCOMPARE(canvas->accessibleName(), TreemapCanvas::spokenText(*f.node("app")));
        QCOMPARE(canvas->accessibleName(), L("treemap.folderTile %@ %@", QStringLiteral("app"),
                                             FormatUtils::formatBytes(6500)));
        const QRect app = tileOf(*canvas, QStringLiteral("app"));
        const QImage focused = canvas->grab().toImage();
        QVERIFY(focused.pixel(app.topLeft() + QPoint(1, app.height() / 2)) !=
                unfocused.pixel(app.topLeft() + QPoint(1, app.height() / 2)));
        QCOMPARE(focused.pixel(app.center()), unfocused.pixel(app.center()));

        std::vector<QRectF> cells;
        for (const TreemapTile& tile : canvas->tiles())
            cells.push_back(tile.rect);
        const std::pair<Qt::Key, TreemapNavigation::Direction> keys[] = {
            {Qt::Key_Right, TreemapNavigation::Direction::right},
            {Qt::Key_Down, TreemapNavigation::Direction::down},
            {Qt::Key_Left, TreemapNavigation::Direction::left},
            {Qt::Key_Up, TreemapNavigation::Direction::up}};
        int at = 0;
        for (const auto& [key, direction] : keys) {
            const int next = TreemapNavigation::neighbour(cells, at, direction);
            QTest::keyClick(canvas, key);
            at = next >= 0 ? next : at;
            QCOMPARE(focusedName(), canvas->tiles()[std::size_t(at)].node->name());
        }
        canvas->setFocusedNode(f.node("logo.png")->id());
        QTest::keyClick(canvas, Qt::Key_Return);
        QCOMPARE(f.fileManager.revealed,
                 (std::vector<std::vector<std::string>>{{"/home/user/Projects/logo.png"}}));
        canvas->setFocusedNode(f.node("app")->id());
        QTest::keyClick(canvas, Qt::Key_Enter);
        QVERIFY(view.currentNode() == f.node("app"));
        QCOMPARE(focusedName(), QStringLiteral("src"));
        QTest::keyClick(canvas, Qt::Key_Backspace);
        QVERIFY(view.currentNode() == view.rootNode());
        QCOMPARE(focusedName(), QStringLiteral("app"));
        QTest::keyClick(canvas, Qt::Key_Backspace); // at the top: nowhere to go
        QVERIFY(view.currentNode() == view.rootNode());
    }

    // A folder whose children take no space says so instead of staying blank.
    void anEmptyFolderSaysSo()
    {
        Fixture f;
        TreemapCanvas* canvas = f.view->canvas();
        f.view->setCurrentNode(f.node("empty"));
        QTRY_VERIFY(!canvas->isFading());
        QVERIFY(canvas->tiles().empty());
        const QImage empty = canvas->grab().toImage();
        const QRgb background = empty.pixel(0, 0);
        int ink = 0;
        for (int y = 0; y < empty.height(); ++y)
            for (int x = 0; x < empty.width(); ++x)
                ink += empty.pixel(x, y) != background;
        QVERIFY(ink > 100); // words
        QCOMPARE(TreemapCanvas::emptyText(), L("treemap.empty"));
    }

    // A deletion redraws the same folder without the removed tile, with the new size; when
    // the folder itself goes, the view shows the nearest folder above it that is left. A tile's
    // menu moves that file or folder to the Trash.
    void deletionKeepsTheFolder()
    {
        Fixture f;
        f.view->setCurrentNode(f.node("app/src"));
        const auto move = [&](const NodeRef& node) {
            const std::unique_ptr<QMenu> menu = f.view->createTileMenu(node);
            QVERIFY(f.view->actions()->moveToTrash()->isEnabled());
            f.view->actions()->moveToTrash()->trigger();
            QTRY_VERIFY(!f.state.isDeleting());
        };
        move(f.node("app/src/main.cpp"));
        QCOMPARE(f.trash->requests(),
                 (std::vector<std::string>{"/home/user/Projects/app/src/main.cpp"}));
        QVERIFY(f.view->currentNode() == f.node("app/src"));
        QCOMPARE(tileNames(*f.view->canvas()), (QStringList{"util.cpp"}));
        QCOMPARE(f.view->sizeText(), FormatUtils::formatBytes(2000));
        // The folder shown is itself cut out of the tree, and the one above it stays.
        const NodeRef app = f.node("app");
        move(f.node("app/src"));
        QVERIFY(f.view->currentNode() == app);
        f.view->setCurrentNode(f.node("app"));
        // Gone with what it holds, from the statistics too.
        move(app);
        QVERIFY(f.view->currentNode() == f.view->rootNode());
        QCOMPARE(tileNames(*f.view->canvas()), (QStringList{"docs", "logo.png"}));
        for (const NodeRef& file : f.state.scanResult()->allFiles())
            QVERIFY(!file->isWithin(*app));
    }
};

QTEST_MAIN(TreeMapViewTest)
#include "tst_treemapview.moc"
