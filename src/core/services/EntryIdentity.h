#pragma once

#include "models/DeviceInode.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plenvo {

class FileNode;
class NodeFacts;

// Which file-system entry a node of a scanned tree stands for: its device, its inode and
// whether it is a folder, as the scan found them, and how to reach it again: the scanned
// location and the names below it. Taken on the thread that owns the tree; checked on any.
//
// check() reaches the entry again from the scanned location (followed if it is a symbolic
// link, as the scan followed it) one name at a time, never following a link below it, and tells
// whether the path still names the very entry the scan recorded. So an item that was replaced
// (by a folder of the same name, by a new file with another inode) or whose folder was replaced
// by a link to somewhere else is never taken for the one that was scanned.
struct EntryIdentity {
    enum class Check {
        same,         // the path names the scanned entry
        changed,      // it names another entry, or nothing: the scanned one is gone from there
        unverifiable, // it could not be looked at (no permission, an I/O error ...)
    };

    std::string root;               // the scanned location, raw bytes
    std::vector<std::string> names; // from the root down to the entry; empty for the root
    DeviceInode id;                 // device as st_dev gives it; inode 0: unknown
    bool hasDevice = false;         // whether id.device is known
    bool isDirectory = false;

    // The identity of `node`, a node of the tree whose facts are `facts` (may be null). The
    // device is that of the nearest folder where the scan noted one.
    static EntryIdentity of(const FileNode& node, const NodeFacts* facts);

    // The entry's full location.
    std::string path() const;
    Check check() const;
};

} // namespace plenvo
