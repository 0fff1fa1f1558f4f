#pragma once

// Set-up shared by the tests of the analysis views: a state over a result built in memory,
// with fakes for the Trash, the file manager and the clipboard, and the factory that makes the
// views; a dark palette; the headers most of these tests read.

#include "FakeClipboard.h"
#include "FakeFileManager.h"
#include "FakeFolderPanel.h"
#include "FakeScanFilePanel.h"
#include "ResultBuilder.h"
#include "state/FakeTrash.h"

#include "AppState.h"
#include "analysis/AnalysisViewFactory.h"
#include "analysis/FileListModel.h"
#include "analysis/FileOperationBar.h"
#include "analysis/FileSelectionModel.h"
#include "analysis/ViewHeader.h"
#include "shell/ContentView.h"
#include "shell/MainWindow.h"
#include "theme/Contrast.h"
#include "theme/Palettes.h"
#include "theme/StyledLabel.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QImage>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTest>
#include <QToolButton>

namespace plenvo::test {

// English texts, US formats and the Fusion style, whatever this machine has.
inline void setUpViewTests()
{
    Localization::setLanguage(u"en");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

// The application's own dark palette, as a desktop that prefers dark gets it.
inline QPalette darkPalette()
{
    return Palettes::dark();
}

// The data of a test that runs once in each colour scheme: a column "dark".
inline void schemeRows()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
}

// The colour most pixels of `area` in `image` have: the background of what is drawn there.
inline QColor backgroundOf(const QImage& image, const QRect& area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    const auto most =
        std::max_element(counts.keyValueBegin(), counts.keyValueEnd(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.keyValueEnd() ? QColor() : QColor(most->first);
}

// How far the pixel of `area` in `image` that stands out most does from `background`: the
// contrast of the text drawn there, as far as its strokes reach their full colour.
inline double strongestContrast(const QImage& image, const QRect& area, const QColor& background)
{
    double strongest = 1.0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            strongest = std::max(strongest, Contrast::ratio(QColor(image.pixel(x, y)), background));
    return strongest;
}

// One row of a QTest data table: `row("name", a, b, c)`.
template <class... Values> void row(const char* name, const Values&... values)
{
    (QTest::newRow(name) << ... << values);
}

inline QStringList namesOf(const std::vector<NodeRef>& files)
{
    QStringList names;
    for (const NodeRef& file : files)
        names << file->name();
    return names;
}

struct ViewFixture {
    ViewFixture(const std::string& root, const std::vector<Entry>& entries)
    {
        state.showResult(makeResult(root, entries));
    }

    // The factory's view for `destination`, as the window makes it.
    template <class View> std::unique_ptr<View> create(SidebarItem destination)
    {
        return std::unique_ptr<View>(
            qobject_cast<View*>(factory.createDetailView(destination, state, nullptr)));
    }
    // The node at the "/"-separated `path` below the root ("" is the root), null if none.
    NodeRef node(std::string_view path) const
    {
        NodeRef node = state.scanResult()->rootNode();
        for (std::string_view rest = path; node && !rest.empty();) {
            const std::string_view name = rest.substr(0, rest.find('/'));
            rest.remove_prefix(std::min(rest.size(), name.size() + 1));
            NodeRef parent = std::exchange(node, {});
            for (const FileNode* child : parent->children())
                if (child->nameBytes() == name)
                    node = NodeRef(child);
        }
        return node;
    }
    // The name of what the inspector shows, "-" for nothing.
    QString shown() const
    {
        return state.selectedNode() ? state.selectedNode()->name() : QStringLiteral("-");
    }

    std::shared_ptr<FakeTrash> trash = std::make_shared<FakeTrash>();
    AppState state{trash};
    FakeFileManager fileManager;
    FakeClipboard clipboard;
    AnalysisViewFactory factory{fileManager, clipboard};
};

// The main window over a state with fakes for the Trash, the file manager, the clipboard and
// the folder and scan file panels.
struct WindowFixture {
    QAction* action(const char* name) { return window.findChild<QAction*>(QLatin1String(name)); }
    ContentView& content() { return *window.contentView(); }
    // The first `View` in the detail area.
    template <class View> View* detail() { return content().detailWidget()->findChild<View*>(); }

    // Called on a scan's thread before each folder is listed, while set. The scan walks alone,
    // so that a listing held here holds the whole scan, as a mount that stopped answering
    // would.
    std::function<void(std::string_view)> beforeListing;
    std::shared_ptr<FakeTrash> trash = std::make_shared<FakeTrash>();
    AppState state{AppState::Services{trash, {}, AppState::kToastMilliseconds,
                                      [this](std::string_view name) {
                                          if (beforeListing)
                                              beforeListing(name);
                                      },
                                      {},
                                      AppState::kStopWaitMilliseconds,
                                      1}};
    FakeFolderPanel panel;
    FakeScanFilePanel scanFiles;
    FakeFileManager fileManager;
    FakeClipboard clipboard;
    AnalysisViewFactory factory{fileManager, clipboard};
    MainWindow window{state, panel, factory, &scanFiles};
};

} // namespace plenvo::test
