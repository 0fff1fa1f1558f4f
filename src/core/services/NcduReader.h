#pragma once

#include "CancellationToken.h"
#include "models/FileNode.h"
#include "models/NodeFacts.h"
#include "models/ScanProgress.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace plenvo {

// Reads a scan saved in ncdu's JSON export format (major version 1; ncdu and gdu write it)
// into a FileNode tree, as a scan of the same folder would have built it. Plain and
// gzip-compressed files are both read; they are told apart by their content.
//
// The text is read in one pass through a small buffer, and folders are kept on an explicit
// stack, so neither memory beyond the tree nor the call stack grows with the size or the
// nesting of the export. Names are bytes: only JSON's escapes are decoded (\uXXXX to UTF-8,
// surrogate pairs joined), every other byte is kept as it is, valid UTF-8 or not.
//
// How entries become nodes:
//   - a file's size is its `dsize` (the space it takes, which a scan counts), 0 when absent:
//     ncdu leaves `dsize` out when it is 0, so `asize` (the apparent size) is not a stand-in;
//     a folder's own `dsize` becomes its fileSize, the space the folder itself takes, apart
//     from its size (that of the files below it), as a scan records it;
//   - a file with several names (`hlnkc`, or `nlink` above 1, with the same `dev` and `ino`;
//     `dev` is inherited from the parent when absent) counts its size under the first name
//     met and 0 under the others;
//   - entries marked `excluded` or `read_error` count 0; a folder keeps the entries listed in
//     it (none, usually); entries marked `notreg` (symbolic links, devices ...) count their
//     `dsize`, as a scan counts the blocks of a symbolic link;
//   - `mtime` (seconds) becomes the modification date; `ino`, wherever it is written, the
//     node's inode;
//   - a folder marked `incomplete` (one a stopped scan did not read to the end, see NcduWriter)
//     is marked so (FileNode::isIncomplete()); the `read_error` its writer adds to the
//     unfinished folders that hold no unfinished folder, for ncdu's sake, is not a read error;
//     `"stopped":true` in the metadata says the scan was stopped (Outcome::stopped);
//   - what the tree does not keep (devices, hard-link identities, exclusions, read errors,
//     entries that are not regular files) goes into NodeFacts, so that the tree can be written
//     out again.
//
// The same pass can hand the entries to a Visitor instead of building a tree, so that an export
// of any size can be compared with a tree in memory without being held in memory itself.
//
// Input that does not follow the format builds nothing and fails with an Error naming the
// fault and where it was found. Limits: a name, and the location of the root, are at most
// kMaxNameBytes bytes; sizes are below 2^63 bytes, and so must their sums be; `dev` and `ino`
// are below 2^64, `nlink` below 2^32, versions at most 10000. No two entries of one folder have
// the same name (no file system holds such a folder). A tree built from a file may take at most
// half of the memory available when reading starts: a file that would need more (a few megabytes
// of compressed text can describe tens of millions of entries) is refused as soon as its tree
// would pass that mark, before it has taken it. Only regular files are read: a folder, a pipe
// or a device is refused at once, without waiting for a writer.
class NcduReader {
public:
    using ProgressHandler = std::function<void(const ScanProgress&)>;

    static constexpr std::size_t kMaxNameBytes = 65535;
    // Progress reports are at least this far apart (strictly more than it).
    static constexpr std::chrono::milliseconds kProgressInterval{150};

    enum class ErrorKind {
        none,
        unreadable,         // the file cannot be opened or read, or its compression is damaged
        notAFile,           // a folder, a pipe, a device ...: not a regular file
        notAnExport,        // not a JSON export of this format at all
        unsupportedVersion, // a major version other than 1
        truncated,          // the text ends before the export does
        syntax,             // not well-formed JSON, or not the structure of an export
        badValue,           // a field of the wrong type (a name that is not a string ...)
        outOfRange,         // a number beyond the limits above, or sizes that add up beyond them
        negativeSize,
        missingName,
        badName,         // empty, ".", "..", holding '/' or a null byte, or too long
        duplicateName,   // a second entry of one folder with the same name
        tooLarge,        // the tree would take more than half of the memory available
        trailingGarbage  // something after the export's closing bracket
    };

    struct Error {
        ErrorKind kind = ErrorKind::none;
        std::int64_t offset = -1; // where, in bytes of the uncompressed text (-1: nowhere)
        std::string detail;       // what exactly, in English
        // An English sentence for the command line, with the place ("at byte N").
        QString message() const;
    };

    // The totals of the tree, as its writer noted them in the metadata (NcduWriter does when
    // asked), so that a list of exports need not read them whole.
    struct Totals {
        std::int64_t size = 0;
        std::int64_t files = 0;
        std::int64_t folders = 0;
        friend bool operator==(const Totals&, const Totals&) = default;
    };

    struct Outcome {
        enum class Status { completed, cancelled, failed };
        Status status = Status::completed;
        NodeRef root;         // set when completed (never by visit() or readHeader())
        std::string rootPath; // the root's name in the export: the scanned location as written
        // The export's `timestamp`, in milliseconds since the Unix epoch, when it has one.
        std::optional<std::int64_t> scanDate;
        std::optional<Totals> totals;           // when the metadata has them
        bool stopped = false; // the metadata says the scan was stopped before it read everything
        std::shared_ptr<const NodeFacts> facts; // set when completed (by readFile and readData)
        std::int64_t entries = 0;               // files and folders read
        Error error;                            // set when failed
    };

    // One entry as it is read, counted as a scan would count it (see above).
    struct Entry {
        std::string_view name; // for the root, its location as written
        bool isDirectory = false;
        std::int64_t size = 0;    // what a file counts (0 for a folder)
        std::int64_t ownSize = 0; // what a folder takes itself (0 for a file)
        FileNode::Timestamp modified;
        std::uint64_t device = 0; // its own `dev`, else its folder's (0 when none is written)
        std::uint64_t inode = 0;  // 0 when not written
        bool incomplete = false;  // a folder a stopped scan did not read to the end
        // What a tree keeps beside the node (NodeFacts), null when there is nothing to keep.
        const NodeFacts::Facts* facts = nullptr;
    };

    // Receives the entries of an export in the order they are written: a folder, then what it
    // holds (files and folders, in any order), then the end of that folder. The root comes
    // first, as a folder or as a single file. What is passed lives for the call only. After a
    // failure or a cancellation the visitor has seen part of the export; nothing tells it that
    // the rest is missing but the outcome. An exception a visitor throws ends the reading and
    // passes through to the caller.
    class Visitor {
    public:
        virtual ~Visitor() = default;
        virtual void enterFolder(const Entry& folder) = 0;
        virtual void file(const Entry& file) = 0;
        virtual void leaveFolder() = 0;
    };

    // The bytes of memory available, asked once when reading starts; nothing when unknown (then
    // no limit holds).
    using MemorySource = std::function<std::optional<std::int64_t>()>;
    // What the system says is available to a new program without swapping (MemAvailable).
    static std::optional<std::int64_t> availableMemory();

    // Reads the export at `path` (raw bytes) on the calling thread. Progress is reported on that
    // thread, with the name of the folder being read and the entries read so far; `token` is
    // checked every thousand entries or so. `memory` replaces availableMemory() (for tests).
    static Outcome readFile(const std::string& path, const ProgressHandler& progress = {},
                            const CancellationToken& token = {}, const MemorySource& memory = {});
    // Reads an export held in memory (uncompressed). With `chunkSize` above 0 the text reaches
    // the parser in pieces of that size (to test the buffering).
    static Outcome readData(std::string_view data, const ProgressHandler& progress = {},
                            const CancellationToken& token = {}, std::size_t chunkSize = 0,
                            const MemorySource& memory = {});

    // Reads the export at `path` as readFile() does, handing its entries to `visitor` instead
    // of building a tree: memory does not grow with the size of the export.
    static Outcome visitFile(const std::string& path, Visitor& visitor,
                             const ProgressHandler& progress = {},
                             const CancellationToken& token = {});
    static Outcome visitData(std::string_view data, Visitor& visitor,
                             const ProgressHandler& progress = {},
                             const CancellationToken& token = {}, std::size_t chunkSize = 0);
    // Reads the beginning of the export at `path` only, up to its root's entry: the location,
    // the date and the totals (when noted), with `entries` 0. It reads a few kilobytes.
    static Outcome readHeader(const std::string& path);

    // Whether the file at `path` begins like an export (after decompression): '[' and a digit.
    static bool looksLikeExport(const std::string& path);

    // Where the text comes from (see the .cpp).
    class Input;

private:
    class Parser;
    class TreeBuilder;
    enum class Mode { whole, headerOnly };
    static Outcome read(Input& input, Visitor& visitor, Mode mode, const ProgressHandler& progress,
                        const CancellationToken& token, std::int64_t budget);
    static Outcome build(Input& input, const ProgressHandler& progress,
                         const CancellationToken& token, const MemorySource& memory);
};

} // namespace plenvo
