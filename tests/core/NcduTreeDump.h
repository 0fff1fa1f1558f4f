#pragma once

// A tree, with what NodeFacts adds to it, in one line, for comparing trees in tests:
//   name:size@mtime<facts> for a file, name@mtime<facts>(child,child...) for a folder
//   (name:size@mtime... when the folder itself takes space),
// where mtime is in seconds and facts are "devN", "inoN/links", "err", "nreg" and "exK"
// (the exclusion's number); "inc" marks a folder a stopped scan did not read to the end.

#include "models/FileNode.h"
#include "models/NodeFacts.h"

#include <string>

namespace plenvo::test {

inline std::string dumpTree(const FileNode& node, const NodeFacts* facts)
{
    std::string out(node.nameBytes());
    if (!node.isDirectory() || node.fileSize() > 0)
        out += ':' + std::to_string(node.fileSize());
    if (const FileNode::Timestamp modified = node.modificationDate())
        out += '@' + std::to_string(*modified / 1000);
    std::string marks;
    if (node.isIncomplete())
        marks += " inc";
    if (const NodeFacts::Facts* f = facts ? facts->find(node.id()) : nullptr) {
        if (f->hasDevice)
            marks += " dev" + std::to_string(f->device);
        if (f->hardLinked)
            marks += " ino" + std::to_string(f->inode) + '/' + std::to_string(f->linkCount);
        if (f->readError)
            marks += " err";
        if (f->notRegular)
            marks += " nreg";
        if (f->exclusion != NodeFacts::Exclusion::none)
            marks += " ex" + std::to_string(int(f->exclusion));
    }
    if (!marks.empty())
        out += '<' + marks.substr(1) + '>';
    if (node.isDirectory()) {
        out += '(';
        for (const FileNode* child : node.children())
            out += dumpTree(*child, facts) + (child == node.children().back() ? "" : ",");
        out += ')';
    }
    return out;
}

} // namespace plenvo::test
