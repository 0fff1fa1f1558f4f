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
#include "theme/StyledLabel.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QAction>
#include <QApplication>
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

inline QPalette darkPalette()
{
    QPalette palette;
    for (auto role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
        palette.setColor(role, QColor(0xf0, 0xf0, 0xf0));
    for (auto role : {QPalette::Button, QPalette::ToolTipBase})
        palette.setColor(role, QColor(0x35, 0x35, 0x35));
    palette.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::Base, QColor(0x28, 0x28, 0x28));
    palette.setColor(QPalette::AlternateBase, QColor(0x30, 0x30, 0x30));
    palette.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Mid, QColor(0x44, 0x44, 0x44));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    return palette;
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
            for (const NodeRef& child : parent->children())
                if (child->nameBytes() == name)
                    node = child;
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

    // Called on a scan's thread before each folder is listed, while set.
    std::function<void(std::string_view)> beforeListing;
    std::shared_ptr<FakeTrash> trash = std::make_shared<FakeTrash>();
    AppState state{AppState::Services{trash, {}, AppState::kToastMilliseconds,
                                      [this](std::string_view name) {
                                          if (beforeListing)
                                              beforeListing(name);
                                      },
                                      {}}};
    FakeFolderPanel panel;
    FakeScanFilePanel scanFiles;
    FakeFileManager fileManager;
    FakeClipboard clipboard;
    AnalysisViewFactory factory{fileManager, clipboard};
    MainWindow window{state, panel, factory, &scanFiles};
};

} // namespace plenvo::test
