#pragma once

#include "AppState.h"
#include "TestSupport.h"

#include <QTest>

namespace plenvo::test {

// Scans `path` with the state and waits for the result.
inline bool scanAndWait(AppState& state, const QByteArray& path)
{
    state.scanDirectory(path.toStdString());
    if (!QTest::qWaitFor([&] { return !state.isScanning(); }, 20000))
        return false;
    return state.scanResult() && state.scanResult()->rootPath() == path.toStdString();
}

// The node of the current result with this name (files and folders, first match).
inline NodeRef findNode(const NodeRef& root, std::string_view name)
{
    std::vector<const FileNode*> stack{root.get()};
    while (!stack.empty()) {
        const FileNode* node = stack.back();
        stack.pop_back();
        if (node->nameBytes() == name)
            return NodeRef(node);
        for (const NodeRef& child : node->children())
            stack.push_back(child.get());
    }
    return {};
}

inline bool contains(const std::vector<NodeRef>& list, const NodeRef& node)
{
    for (const NodeRef& n : list)
        if (n == node)
            return true;
    return false;
}

} // namespace plenvo::test
