#include "NcduWriter.h"

#include "models/DeviceInode.h"

#include "utils/DisplayText.h"

#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <span>
#include <unordered_map>
#include <vector>

namespace plenvo {

namespace {

constexpr std::size_t kFlushBytes = 1024 * 1024;
constexpr std::int64_t kCheckEvery = 4096;

const char* exclusionName(NodeFacts::Exclusion exclusion)
{
    switch (exclusion) {
    case NodeFacts::Exclusion::none:
        break;
    case NodeFacts::Exclusion::pattern:
        return "pattern";
    case NodeFacts::Exclusion::otherFileSystem:
        return "otherfs";
    case NodeFacts::Exclusion::kernelFileSystem:
        return "kernfs";
    case NodeFacts::Exclusion::firmlink:
        return "frmlnk";
    }
    return nullptr;
}

// An unfinished folder that holds no unfinished folder: where the scan stopped.
bool whereTheScanStopped(const FileNode& folder)
{
    if (!folder.isDirectory() || !folder.isIncomplete())
        return false;
    const FileNode::Children children = folder.children();
    return std::none_of(children.begin(), children.end(),
                        [](const FileNode* child) { return child->isIncomplete(); });
}

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

} // namespace

// Turns a tree into text, a buffer at a time.
class NcduWriter::Encoder {
public:
    Encoder(const NodeFacts* facts, Sink sink) : m_facts(facts), m_sink(std::move(sink))
    {
        m_out.reserve(kFlushBytes + 64 * 1024);
    }

    // False when the sink failed or `token` was cancelled (then `cancelled` is set).
    bool run(const FileNode& root, const Options& options, bool notesTotals,
             const CancellationToken& token, std::int64_t& entries, bool& cancelled);

private:
    struct Level {
        const FileNode* folder;
        std::size_t next;
        std::uint64_t device;
    };

    std::uint64_t entry(const FileNode& node, std::uint64_t inheritedDevice, bool isRoot);
    void string(std::string_view bytes);
    void field(std::string_view key, std::uint64_t value)
    {
        m_out.append(key);
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        m_out.append(digits, std::size_t(end - digits));
    }
    bool flush()
    {
        const bool ok = m_sink(m_out);
        m_out.clear();
        return ok;
    }

    const NodeFacts* m_facts;
    Sink m_sink;
    std::string m_out;
    // The size of each file with several names, from its first name, for the others.
    std::unordered_map<DeviceInode, std::int64_t, DeviceInodeHash> m_linkSizes;
};

bool NcduWriter::Encoder::run(const FileNode& root, const Options& options, bool notesTotals,
                              const CancellationToken& token, std::int64_t& entries,
                              bool& cancelled)
{
    m_out.append("[1,2,{\"progname\":\"plenvo\",\"progver\":");
    string(options.programVersion);
    field(",\"timestamp\":", std::uint64_t(std::max<std::int64_t>(options.timestamp, 0)));
    if (notesTotals) {
        field(",\"total_dsize\":", std::uint64_t(root.cachedSize()));
        field(",\"total_files\":", std::uint64_t(root.cachedFileCount()));
        field(",\"total_folders\":", std::uint64_t(root.cachedDirCount()));
    }
    if (options.stopped)
        m_out.append(",\"stopped\":true");
    m_out.append("},\n");
    entries = 1;
    if (!root.isDirectory()) {
        entry(root, 0, true);
        m_out.append("]\n");
        return flush();
    }
    m_out.push_back('[');
    std::vector<Level> stack{{&root, 0, entry(root, 0, true)}};
    while (!stack.empty()) {
        Level& top = stack.back();
        const FileNode::Children children = top.folder->children();
        if (top.next == children.size()) {
            m_out.push_back(']');
            stack.pop_back();
            continue;
        }
        const FileNode& child = *children[top.next++];
        m_out.append(",\n");
        if (child.isDirectory()) {
            m_out.push_back('[');
            const std::uint64_t device = entry(child, top.device, false);
            stack.push_back({&child, 0, device});
        } else {
            entry(child, top.device, false);
        }
        if (++entries % kCheckEvery == 0) {
            if (token.isCancelled()) {
                cancelled = true;
                return false;
            }
            if (m_out.size() >= kFlushBytes && !flush())
                return false;
        }
    }
    m_out.append("]\n");
    return flush();
}

// Writes the info object of `node`; returns the device of the entries below it.
std::uint64_t NcduWriter::Encoder::entry(const FileNode& node, std::uint64_t inheritedDevice,
                                         bool isRoot)
{
    const NodeFacts::Facts* facts = m_facts ? m_facts->find(node.id()) : nullptr;
    m_out.append("{\"name\":");
    string(isRoot ? std::string_view(node.pathBytes()) : node.nameBytes());
    std::int64_t size = node.fileSize(); // for a folder, what it takes itself
    if (facts && facts->hardLinked && !node.isDirectory()) {
        const auto [it, first] = m_linkSizes.try_emplace({facts->device, facts->inode}, size);
        if (!first && size == 0)
            size = it->second;
    }
    if (size > 0)
        field(",\"dsize\":", std::uint64_t(size));
    std::uint64_t device = inheritedDevice;
    if (facts && facts->hasDevice && (isRoot || facts->device != inheritedDevice)) {
        device = facts->device;
        field(",\"dev\":", device);
    }
    if (node.isDirectory() && node.inode() != 0)
        field(",\"ino\":", node.inode());
    if (facts && facts->hardLinked) {
        field(",\"ino\":", facts->inode);
        m_out.append(",\"hlnkc\":true");
        if (facts->linkCount > 0)
            field(",\"nlink\":", facts->linkCount);
    }
    if ((facts && facts->readError) || whereTheScanStopped(node))
        m_out.append(",\"read_error\":true");
    if (node.isDirectory() && node.isIncomplete())
        m_out.append(",\"incomplete\":true");
    if (const char* excluded = facts ? exclusionName(facts->exclusion) : nullptr) {
        m_out.append(",\"excluded\":\"");
        m_out.append(excluded);
        m_out.push_back('"');
    }
    if (facts && facts->notRegular)
        m_out.append(",\"notreg\":true");
    // Seconds; a time before 1970 as its two's complement, as ncdu writes it (and reads it:
    // it refuses negative numbers).
    if (const FileNode::Timestamp modified = node.modificationDate())
        field(",\"mtime\":", std::uint64_t(*modified / 1000 - (*modified % 1000 < 0 ? 1 : 0)));
    m_out.push_back('}');
    return device;
}

void NcduWriter::Encoder::string(std::string_view bytes)
{
    appendJsonString(m_out, bytes);
}

void NcduWriter::appendJsonString(std::string& out, std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out.push_back('"');
    std::size_t run = 0; // bytes that need no escape, not yet appended
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        // DEL too: ncdu refuses it raw ("Invalid character") and writes it as \u007f.
        if (c >= 0x20 && c != 0x7f && c != '"' && c != '\\') {
            ++run;
            continue;
        }
        out.append(bytes.data() + i - run, run);
        run = 0;
        out.push_back('\\');
        switch (c) {
        case '"':
            out.push_back('"');
            break;
        case '\\':
            out.push_back('\\');
            break;
        case '\b':
            out.push_back('b');
            break;
        case '\f':
            out.push_back('f');
            break;
        case '\n':
            out.push_back('n');
            break;
        case '\r':
            out.push_back('r');
            break;
        case '\t':
            out.push_back('t');
            break;
        default:
            out.append("u00");
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    out.append(bytes.data() + bytes.size() - run, run);
    out.push_back('"');
}

NcduWriter::~NcduWriter()
{
    discard();
}

bool NcduWriter::failWith(const std::string& what, int error)
{
    m_error = QStringLiteral("%1: %2").arg(DisplayText::fromBytes(what),
                                           QString::fromLocal8Bit(std::strerror(error)));
    return false;
}

bool NcduWriter::open(const std::string& path, const FileOptions& file)
{
    discard();
    m_path = path;
    m_error.clear();
    m_cancelled = false;
    if (path == "-") {
        m_fd = STDOUT_FILENO;
        return true;
    }
    // A device, a pipe or a link (say /dev/null) is written in place; a regular file is
    // replaced once the export is complete.
    struct stat info;
    const bool exists = ::lstat(path.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        m_fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    } else {
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            char suffix[24];
            std::snprintf(suffix, sizeof suffix, ".%08llx.part",
                          static_cast<unsigned long long>(QRandomGenerator::global()->generate()));
            m_temporaryPath = path + suffix;
            m_fd = ::open(m_temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          mode_t(file.permissions));
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        if (m_fd < 0)
            m_temporaryPath.clear();
        // The file that replaces another keeps its permissions: an export only its owner may
        // read stays so.
        if (m_fd >= 0 && exists && ::fchmod(m_fd, info.st_mode & 07777) != 0) {
            const int error = errno;
            discard();
            return failWith(path, error);
        }
    }
    if (m_fd < 0)
        return failWith(path, errno);
    m_ownsFd = true;
    if (endsWith(path, ".gz")) {
        const char mode[] = {'w', 'b', char('0' + std::clamp(file.compressionLevel, 1, 9)), 0};
        m_gzip = gzdopen(m_fd, mode);
        if (!m_gzip) {
            const int error = errno ? errno : ENOMEM;
            discard();
            return failWith(path, error);
        }
        m_ownsFd = false; // zlib closes it
    }
    return true;
}

std::optional<DeviceInode> NcduWriter::fileIdentity() const
{
    struct stat info;
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
        return std::nullopt;
    return DeviceInode{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)};
}

bool NcduWriter::sink(std::string_view bytes)
{
    if (m_gzip) {
        while (!bytes.empty()) {
            const unsigned chunk = unsigned(std::min<std::size_t>(bytes.size(), 1u << 30));
            if (gzwrite(static_cast<gzFile>(m_gzip), bytes.data(), chunk) != int(chunk)) {
                int code = 0;
                const char* text = gzerror(static_cast<gzFile>(m_gzip), &code);
                if (code == Z_ERRNO)
                    return failWith(m_path, errno);
                m_error = QStringLiteral("%1: %2").arg(DisplayText::fromBytes(m_path),
                                                       QString::fromUtf8(text));
                return false;
            }
            bytes.remove_prefix(chunk);
        }
        return true;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failWith(m_path, n < 0 ? errno : EIO);
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

bool NcduWriter::write(const FileNode& root, const NodeFacts* facts, const Options& options,
                       const CancellationToken& token)
{
    if (m_fd < 0) {
        m_error = QStringLiteral("no file is open");
        return false;
    }
    Encoder encoder(facts, [this](std::string_view bytes) { return sink(bytes); });
    return encoder.run(root, options, m_notesTotals, token, m_entries, m_cancelled);
}

bool NcduWriter::commit()
{
    if (m_fd < 0)
        return false;
    bool ok = true;
    int error = 0;
    if (m_gzip) {
        ok = gzclose_w(static_cast<gzFile>(m_gzip)) == Z_OK;
        error = errno ? errno : EIO;
        m_gzip = nullptr;
    } else if (m_ownsFd) {
        ok = ::close(m_fd) == 0;
        error = errno;
    }
    m_fd = -1;
    m_ownsFd = false;
    if (ok && !m_temporaryPath.empty()) {
        ok = ::rename(m_temporaryPath.c_str(), m_path.c_str()) == 0;
        error = errno;
        if (ok)
            m_temporaryPath.clear();
    }
    if (!ok) {
        discard();
        return failWith(m_path, error);
    }
    return true;
}

// Closes what is open and removes the unfinished file this writer made (never another).
void NcduWriter::discard()
{
    if (m_gzip)
        gzclose_w(static_cast<gzFile>(m_gzip));
    else if (m_ownsFd && m_fd >= 0)
        ::close(m_fd);
    m_gzip = nullptr;
    m_fd = -1;
    m_ownsFd = false;
    if (!m_temporaryPath.empty())
        ::unlink(m_temporaryPath.c_str());
    m_temporaryPath.clear();
}

NcduWriter::Outcome NcduWriter::writeFile(const std::string& path, const FileNode& root,
                                          const NodeFacts* facts, const Options& options,
                                          const CancellationToken& token, const FileOptions& file)
{
    NcduWriter writer;
    Outcome outcome;
    if (writer.open(path, file) && writer.write(root, facts, options, token) && writer.commit()) {
        outcome.entries = writer.entriesWritten();
        return outcome;
    }
    outcome.status = writer.wasCancelled() ? Outcome::Status::cancelled : Outcome::Status::failed;
    outcome.error = writer.error();
    return outcome;
}

std::string NcduWriter::toText(const FileNode& root, const NodeFacts* facts, const Options& options)
{
    std::string text;
    Encoder encoder(facts, [&](std::string_view bytes) {
        text.append(bytes);
        return true;
    });
    std::int64_t entries = 0;
    bool cancelled = false;
    encoder.run(root, options, false, {}, entries, cancelled);
    return text;
}

} // namespace plenvo
