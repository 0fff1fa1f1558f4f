#pragma once

#include "CancellationToken.h"
#include "models/DeviceInode.h"
#include "models/FileNode.h"
#include "models/NodeFacts.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace plenvo {

// Writes a FileNode tree in ncdu's JSON export format, version 1.2, which ncdu (-f) and gdu
// (-f) read:
//   [1,2,{"progname":"plenvo","progver":...,"timestamp":...},[{root}, entries...]]
// The root's name is its full location. Names are written as the bytes they are, valid UTF-8
// or not; only what JSON requires is escaped ('"', '\' and control characters), and DEL, as
// ncdu writes it.
//
// Per entry: `dsize` (the allocated size, which the tree holds, for a folder the space it takes
// itself; the apparent size, `asize`, is not known and left out), `mtime` (seconds, unsigned: a
// time before 1970 in two's complement), `ino` for folders whose inode is known (with the
// device, it finds a folder again under another name), and from NodeFacts when given: `dev`
// where it changes, `ino`, `hlnkc` and `nlink` for files with several names (every name carries
// the size, as the format expects; readers count it once), `excluded` for folders that were not
// entered ("otherfs" for another file system or a folder met before, "kernfs" for a kernel
// pseudo file system, as ncdu reads them), `read_error` and `notreg`.
//
// A stopped scan (Options::stopped) says so in the metadata ("stopped":true), and each folder
// not read to the end (FileNode::isIncomplete()) carries "incomplete":true, a key ncdu and gdu
// pass over. So that ncdu marks them too, the unfinished folders that hold no unfinished folder
// also carry `read_error` (ncdu shows "!" there, and "." on the folders above).
//
// The tree is walked with an explicit stack (any depth). Output goes through a buffer to a
// file, gzip-compressed when its name ends in ".gz", or to standard output for "-". A regular
// file is written beside its final name and moved into place by commit(), so that an export
// that fails or is abandoned leaves whatever was there before; one that replaces a file keeps
// that file's permissions.
class NcduWriter {
public:
    struct Options {
        std::int64_t timestamp = 0; // seconds since the Unix epoch: when the scan was made
        std::string programVersion;
        bool stopped = false; // the scan was stopped before it read everything
    };
    // How a file is created.
    struct FileOptions {
        unsigned permissions = 0666; // before the umask
        int compressionLevel = 1;    // for ".gz": 1 (fastest) to 9 (smallest)
    };
    struct Outcome {
        enum class Status { completed, cancelled, failed };
        Status status = Status::completed;
        QString error; // set when failed
        std::int64_t entries = 0;
    };

    NcduWriter() = default;
    ~NcduWriter(); // discards an export that was not committed
    NcduWriter(const NcduWriter&) = delete;
    NcduWriter& operator=(const NcduWriter&) = delete;

    // Prepares to write `path` (raw bytes; "-" for standard output). Fails (see error()) when
    // the file cannot be created, before anything long has been done.
    bool open(const std::string& path) { return open(path, FileOptions()); }
    bool open(const std::string& path, const FileOptions& file);
    // Notes the root's totals in the metadata of what write() writes ("total_dsize",
    // "total_files", "total_folders"), which NcduReader::readHeader() reads without reading
    // the tree. Off unless set.
    void setNotesTotals(bool notes) { m_notesTotals = notes; }
    // Writes the export of the tree below `root`. False when writing failed (see error()) or
    // `token` was cancelled (checked every few thousand entries).
    bool write(const FileNode& root, const NodeFacts* facts, const Options& options,
               const CancellationToken& token = {});
    // Completes the file and moves it into place.
    bool commit();
    // The device and inode of the file being written (the unfinished one beside the final
    // name, when there is one), so that a scan of the folder that holds it can leave it out.
    std::optional<DeviceInode> fileIdentity() const;

    const QString& error() const { return m_error; }
    bool wasCancelled() const { return m_cancelled; }
    std::int64_t entriesWritten() const { return m_entries; }

    // open(), write() and commit() in one call.
    static Outcome writeFile(const std::string& path, const FileNode& root, const NodeFacts* facts,
                             const Options& options, const CancellationToken& token = {})
    {
        return writeFile(path, root, facts, options, token, FileOptions());
    }
    static Outcome writeFile(const std::string& path, const FileNode& root, const NodeFacts* facts,
                             const Options& options, const CancellationToken& token,
                             const FileOptions& file);
    // Appends `bytes` as a JSON string, as exports write names: '"', '\\' and control
    // characters escaped, every other byte as it is (valid UTF-8 or not).
    static void appendJsonString(std::string& out, std::string_view bytes);
    // The uncompressed text of an export.
    static std::string toText(const FileNode& root, const NodeFacts* facts, const Options& options);

private:
    using Sink = std::function<bool(std::string_view)>;
    class Encoder;
    bool sink(std::string_view bytes);
    bool failWith(const std::string& what, int error);
    void discard();

    std::string m_path;
    std::string m_temporaryPath; // written instead of m_path until commit()
    int m_fd = -1;
    bool m_ownsFd = false;
    void* m_gzip = nullptr; // gzFile
    QString m_error;
    bool m_cancelled = false;
    bool m_notesTotals = false;
    std::int64_t m_entries = 0;
};

} // namespace plenvo
