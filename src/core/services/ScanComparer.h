#pragma once

#include "CancellationToken.h"
#include "NcduReader.h"
#include "models/ScanComparison.h"
#include "models/ScanTree.h"

#include <memory>
#include <string>
#include <string_view>

namespace plenvo {

// Compares an earlier scan of a folder with the current tree and tells what changed
// (ScanComparison). The earlier scan is an export (NcduReader's format, plain or compressed),
// read as it streams by and never built into a tree: beside the current tree, memory grows with
// the number of changes, not with the size of the earlier scan.
//
// How it compares:
//   - entries are matched by name, folder by folder, as bytes (names need not be UTF-8); a
//     file met where a folder was, or the other way round, is one gone and one new item;
//   - sizes are counted as a scan counts them (a file with several names once, under the first
//     name met), on both sides;
//   - a gone folder whose device and inode belong to a folder that appeared elsewhere is that
//     folder, moved, when more than half of what one of them holds (the one that holds less) is
//     found in both under the same names; two empty folders need no more than their identity.
//     Its content is then compared with what it holds now. Devices are taken as they are, except
//     that the device of the earlier scan's root stands for that of the current root (a disk that
//     was mounted again).
//
// Each call runs on the calling thread, any thread: the current tree must not change until it
// returns (see ScanTree). Cancellation is checked every thousand entries or so.
class ScanComparer {
public:
    using ProgressHandler = NcduReader::ProgressHandler;

    struct Outcome {
        enum class Status { completed, cancelled, failed };
        Status status = Status::completed;
        std::shared_ptr<const ScanComparison> comparison; // set when completed
        NcduReader::Error error;                          // set when failed
    };

    ScanComparer() = delete;

    // The export at `earlierExport` (raw bytes) against `current`.
    static Outcome compareWithExport(const std::string& earlierExport, const ScanTree& current,
                                     const ProgressHandler& progress = {},
                                     const CancellationToken& token = {});
    // The same, with the export's text in memory (uncompressed).
    static Outcome compareWithExportText(std::string_view earlierExport, const ScanTree& current,
                                         const CancellationToken& token = {});
    // Two trees in memory (two scans made now, say).
    static Outcome compareTrees(const ScanTree& earlier, const ScanTree& current,
                                const CancellationToken& token = {});

private:
    class Work;
    class Pass;
    template <typename Feed>
    static Outcome compare(const ScanTree& current, const CancellationToken& token, Feed&& feed);
};

} // namespace plenvo
