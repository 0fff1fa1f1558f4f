#pragma once

// What the state's tests share: scanning a scratch folder into an AppState and finding nodes.

#include "FakeTrash.h"
#include "TestSupport.h"

#include "AppState.h"
#include "utils/FormatUtils.h"

#include <QTest>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plenvo::test {

inline bool scanAndWait(AppState& state, const QByteArray& path)
{
    state.scanDirectory(path.toStdString());
    return QTest::qWaitFor([&] { return !state.isScanning(); }, 20000) && state.scanResult() &&
           state.scanResult()->rootPath() == path.toStdString();
}

// The first node of that name, depth first.
inline NodeRef findNode(const NodeRef& node, std::string_view name)
{
    if (node->nameBytes() == name)
        return node;
    for (const FileNode* child : node->children())
        if (NodeRef found = findNode(NodeRef(child), name))
            return found;
    return {};
}

inline bool contains(const std::vector<NodeRef>& list, const NodeRef& node)
{
    return std::find(list.begin(), list.end(), node) != list.end();
}

inline QString compact(std::int64_t bytes)
{
    return FormatUtils::formatBytesCompact(bytes);
}

// Waits until the running move or undo has ended.
inline bool settleEdits(AppState& state)
{
    return QTest::qWaitFor([&] { return !state.isDeleting(); }, 20000);
}

// A scanned folder of files f0 .. f(n-1), sizes growing, the odd ones in "sub".
struct Fixture {
    explicit Fixture(int files = 5, std::shared_ptr<Trash> trash = std::make_shared<FakeTrash>())
        : trash(trash), state(trash)
    {
        makeDir(dir.file("sub"));
        for (int i = 0; i < files; ++i)
            writeFile(dir.file((i % 2 ? "sub/f" : "f") + QByteArray::number(i)), 5000 * (i + 1));
        ok = scanAndWait(state, dir.path());
    }
    NodeRef node(int i) const { return find("f" + std::to_string(i)); }
    NodeRef find(std::string_view name) const
    {
        return findNode(state.scanResult()->rootNode(), name);
    }
    FakeTrash& fake() { return static_cast<FakeTrash&>(*trash); }
    // Moves nodes through the editor and waits for the outcome.
    bool move(const std::vector<NodeRef>& nodes)
    {
        return state.editor().moveToTrash(nodes) && settleEdits(state);
    }
    bool undo() { return state.editor().undo() && settleEdits(state); }

    ScratchDir dir;
    std::shared_ptr<Trash> trash;
    AppState state;
    bool ok = false;
};

} // namespace plenvo::test
