#include "NcduReader.h"

#include "models/DeviceInode.h"

#include "models/NodeArena.h"
#include "utils/DisplayText.h"

#include <QHashFunctions>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <new>
#include <unordered_set>
#include <vector>

namespace plenvo {

namespace {

constexpr std::size_t kBufferBytes = 256 * 1024;
// Enough for the metadata and the root's entry of any export Plenvo writes.
constexpr std::size_t kHeaderBufferBytes = 8 * 1024;
constexpr std::uint64_t kMaxVersion = 10000;
constexpr std::uint64_t kMaxSize = std::uint64_t(INT64_MAX);
constexpr std::uint64_t kMaxLinks = UINT32_MAX;
constexpr std::int64_t kMaxSeconds = INT64_MAX / 1000;

struct Failure {
    NcduReader::Error error;
};
struct Cancelled {};

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

// The last component of a location as written ("/" for the root folder).
std::string_view lastComponent(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    if (path == "/")
        return path;
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out.push_back(char(code));
    } else if (code < 0x800) {
        out.push_back(char(0xC0 | (code >> 6)));
        out.push_back(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(char(0xE0 | (code >> 12)));
        out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(char(0x80 | (code & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (code >> 18)));
        out.push_back(char(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(char(0x80 | (code & 0x3F)));
    }
}

// The names met in one folder, as 64-bit hashes in an open-addressed table: at most 16 bytes a
// name, for as long as the folder is being read.
class NameHashes {
public:
    // Adds a hash; false when it was there already.
    bool insert(std::uint64_t hash)
    {
        hash |= 1; // 0 marks a free slot
        if ((m_count + 1) * 4 > m_slots.size() * 3)
            grow();
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            if (m_slots[i] == hash)
                return false;
            if (m_slots[i] == 0) {
                m_slots[i] = hash;
                ++m_count;
                return true;
            }
        }
    }

private:
    void grow()
    {
        std::vector<std::uint64_t> old(std::max<std::size_t>(16, m_slots.size() * 2), 0);
        old.swap(m_slots);
        m_count = 0;
        for (const std::uint64_t hash : old)
            if (hash)
                insert(hash);
    }

    std::vector<std::uint64_t> m_slots;
    std::size_t m_count = 0;
};

// Whether facts say anything a tree does not keep itself.
bool isWorthKeeping(const NodeFacts::Facts& f)
{
    return f.hasDevice || f.hardLinked || f.readError || f.notRegular ||
           f.exclusion != NodeFacts::Exclusion::none;
}

// What the tree costs beyond its nodes' blocks, per entry: its place in its folder's list of
// children (with the list's room to grow), its name's hash while the folder is read, and the
// lists of files a result keeps; per entry with facts, their table's node; per open folder, its
// frame.
constexpr std::size_t kEntryOverhead = 64;
constexpr std::size_t kFactsOverhead = 96;

} // namespace

// Where the text comes from: read() fills a buffer and returns the bytes read, 0 at the end.
class NcduReader::Input {
public:
    virtual ~Input() = default;
    // Throws Failure when the source cannot be read.
    virtual std::size_t read(char* buffer, std::size_t capacity, std::int64_t offset) = 0;
};

namespace {

class MemoryInput final : public NcduReader::Input {
public:
    MemoryInput(std::string_view data, std::size_t chunkSize)
        : m_data(data), m_chunkSize(chunkSize ? chunkSize : data.size())
    {
    }
    std::size_t read(char* buffer, std::size_t capacity, std::int64_t) override
    {
        const std::size_t n = std::min({capacity, m_chunkSize, m_data.size()});
        std::memcpy(buffer, m_data.data(), n);
        m_data.remove_prefix(n);
        return n;
    }

private:
    std::string_view m_data;
    std::size_t m_chunkSize;
};

// zlib's gzread reads gzip-compressed and plain files alike.
class GzipInput final : public NcduReader::Input {
public:
    explicit GzipInput(const std::string& path, std::size_t bufferBytes = kBufferBytes)
    {
        // Opened without blocking, so that a pipe without a writer (which would hold the open
        // until one comes) or a device is refused at once; then read as a file is.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) {
            m_openError = {NcduReader::ErrorKind::unreadable, -1, std::strerror(errno)};
            return;
        }
        struct stat info;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            m_openError = {NcduReader::ErrorKind::notAFile, -1,
                           "not a regular file (a folder, a pipe or a device)"};
            return;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        m_file = gzdopen(fd, "rb");
        if (!m_file) {
            ::close(fd);
            m_openError = {NcduReader::ErrorKind::unreadable, -1, std::strerror(ENOMEM)};
            return;
        }
        gzbuffer(m_file, unsigned(bufferBytes));
    }
    ~GzipInput() override
    {
        if (m_file)
            gzclose_r(m_file);
    }
    // Why the file cannot be read; kind none when it can.
    const NcduReader::Error& openError() const { return m_openError; }

    std::size_t read(char* buffer, std::size_t capacity, std::int64_t offset) override
    {
        const int n = gzread(m_file, buffer, unsigned(capacity));
        if (n >= 0)
            return std::size_t(n);
        int code = 0;
        const char* text = gzerror(m_file, &code);
        NcduReader::Error error;
        error.offset = offset;
        if (code == Z_BUF_ERROR) {
            error.kind = NcduReader::ErrorKind::truncated;
            error.detail = "the compressed file ends too early";
        } else {
            error.kind = NcduReader::ErrorKind::unreadable;
            error.detail = code == Z_ERRNO ? std::strerror(errno) : text;
        }
        throw Failure{std::move(error)};
    }

private:
    gzFile m_file = nullptr;
    NcduReader::Error m_openError;
};

} // namespace

// The parser: a tokenizer over the buffer and the structure of an export, handing each entry to
// a visitor as soon as it is read, counted as a scan counts it.
class NcduReader::Parser {
public:
    // `budget`: the bytes a tree of what is read may take (its estimate, see charge()).
    Parser(Input& input, Visitor& visitor, Mode mode, const ProgressHandler& progress,
           const CancellationToken& token, std::int64_t budget)
        : m_input(input), m_visitor(visitor), m_mode(mode), m_progress(progress), m_token(token),
          m_buffer(mode == Mode::headerOnly ? kHeaderBufferBytes : kBufferBytes), m_budget(budget)
    {
        m_p = m_end = m_buffer.data();
    }

    Outcome run();

private:
    struct Number {
        std::uint64_t magnitude = 0;
        bool negative = false;
        bool integral = true;
        bool overflow = false;
    };
    struct Info {
        std::string name;
        bool hasName = false;
        bool hasDevice = false;
        bool hasInode = false;
        bool hardLinked = false;
        bool readError = false;
        bool notRegular = false;
        bool incomplete = false;
        NodeFacts::Exclusion exclusion = NodeFacts::Exclusion::none;
        std::int64_t dsize = 0;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::uint32_t links = 0;
        FileNode::Timestamp modified;
    };
    // An open folder.
    struct Frame {
        std::string name; // for progress reports
        std::uint64_t device = 0;
        std::int64_t size = 0; // of the children so far, to catch sums beyond 2^63 - 1
        NameHashes names;      // of the children
    };

    // --- tokenizer
    std::int64_t offset() const { return m_base + (m_p - m_buffer.data()); }
    bool refill();
    int peek()
    {
        if (m_p == m_end && !refill())
            return -1;
        return static_cast<unsigned char>(*m_p);
    }
    int peekToken(); // the next byte that is not white space, -1 at the end
    [[noreturn]] void fail(ErrorKind kind, std::string detail, std::int64_t at = -1);
    [[noreturn]] void unexpected(const char* expected);
    void expect(char c, const char* expected);
    bool readString(std::string& out, std::size_t limit);
    std::uint32_t readHex4();
    Number readNumber();
    bool readLiteral();
    void skipValue();

    // --- structure
    void readMetadata();
    std::uint64_t readUnsigned(std::string_view field, std::uint64_t max, ErrorKind negative);
    bool readBool(std::string_view field);
    void readField(Info& info, std::string_view key);
    void readInfo(Info& info, bool isRoot);
    void readTree();
    void enterFolder(Info& info);
    void leaveFolder();
    void file(Info& info, bool isRoot);
    void addToParent(std::int64_t size);
    bool recordFacts(const Info& info, std::uint64_t parentDevice, bool isRoot,
                     NodeFacts::Facts& facts);
    Entry entryOf(const Info& info, std::uint64_t parentDevice, bool isRoot, bool isDirectory);
    void countEntry();
    void checkUnique(std::string_view name);
    void charge(std::size_t bytes);

    Input& m_input;
    Visitor& m_visitor;
    const Mode m_mode;
    const ProgressHandler& m_progress;
    const CancellationToken& m_token;
    std::vector<char> m_buffer;
    const char* m_p;
    const char* m_end;
    std::int64_t m_base = 0; // offset of the buffer's first byte in the text
    bool m_atEnd = false;

    std::string m_key;
    std::string m_scratch;
    std::vector<char> m_closers;
    Info m_info;
    std::vector<Frame> m_stack;
    NodeFacts::Facts m_entryFacts;
    std::unordered_set<DeviceInode, DeviceInodeHash> m_linked;
    std::string m_rootPath;
    std::optional<std::int64_t> m_scanDate;
    std::optional<std::int64_t> m_totals[3]; // size, files, folders
    bool m_stopped = false;
    std::int64_t m_entries = 0;
    std::chrono::steady_clock::time_point m_lastReport{};
    bool m_reported = false;
    std::int64_t m_infoStart = 0; // where the last info object read starts
    const std::int64_t m_budget;
    std::int64_t m_cost = 0; // what a tree of the entries so far takes, by charge()'s estimate
    std::int64_t m_foldersOwnSize = 0; // of all folders so far, to catch sums beyond 2^63 - 1
    const std::size_t m_seed = QHashSeed::globalSeed();
};

bool NcduReader::Parser::refill()
{
    if (m_atEnd)
        return false;
    m_base += m_end - m_buffer.data();
    const std::size_t n = m_input.read(m_buffer.data(), m_buffer.size(), m_base);
    m_p = m_buffer.data();
    m_end = m_p + n;
    m_atEnd = n == 0;
    return n > 0;
}

int NcduReader::Parser::peekToken()
{
    for (;;) {
        while (m_p < m_end) {
            const char c = *m_p;
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
                return static_cast<unsigned char>(c);
            ++m_p;
        }
        if (!refill())
            return -1;
    }
}

void NcduReader::Parser::fail(ErrorKind kind, std::string detail, std::int64_t at)
{
    throw Failure{Error{kind, at >= 0 ? at : offset(), std::move(detail)}};
}

void NcduReader::Parser::unexpected(const char* expected)
{
    if (peekToken() < 0)
        fail(ErrorKind::truncated,
             std::string("the text ends where ") + expected + " should follow");
    fail(ErrorKind::syntax, std::string("expected ") + expected);
}

void NcduReader::Parser::expect(char c, const char* expected)
{
    if (peekToken() != static_cast<unsigned char>(c))
        unexpected(expected);
    ++m_p;
}

// Reads the string that starts here (at its opening quote), keeping at most `limit` bytes of
// it in `out`. Returns false when it was longer; the whole string is consumed either way.
bool NcduReader::Parser::readString(std::string& out, std::size_t limit)
{
    out.clear();
    bool fits = true;
    const auto append = [&](const char* data, std::size_t n) {
        if (out.size() + n > limit) {
            fits = false;
            n = limit - out.size();
        }
        out.append(data, n);
    };
    ++m_p; // the opening quote
    for (;;) {
        if (m_p == m_end && !refill())
            fail(ErrorKind::truncated, "the text ends inside a string");
        const char* start = m_p;
        while (m_p < m_end) {
            const auto c = static_cast<unsigned char>(*m_p);
            if (c == '"' || c == '\\' || c < 0x20)
                break;
            ++m_p;
        }
        append(start, std::size_t(m_p - start));
        if (m_p == m_end)
            continue;
        const auto c = static_cast<unsigned char>(*m_p++);
        if (c == '"')
            return fits;
        if (c < 0x20)
            fail(ErrorKind::syntax, "a control character inside a string", offset() - 1);
        const int e = peek();
        if (e < 0)
            fail(ErrorKind::truncated, "the text ends inside a string");
        ++m_p;
        char single = 0;
        switch (e) {
        case '"':
            single = '"';
            break;
        case '\\':
            single = '\\';
            break;
        case '/':
            single = '/';
            break;
        case 'b':
            single = '\b';
            break;
        case 'f':
            single = '\f';
            break;
        case 'n':
            single = '\n';
            break;
        case 'r':
            single = '\r';
            break;
        case 't':
            single = '\t';
            break;
        case 'u': {
            std::uint32_t code = readHex4();
            if (code >= 0xDC00 && code <= 0xDFFF)
                fail(ErrorKind::syntax, "a \\u escape holds half a surrogate pair", offset() - 6);
            if (code >= 0xD800 && code <= 0xDBFF) {
                if (peek() != '\\')
                    fail(ErrorKind::syntax, "a \\u escape holds half a surrogate pair");
                ++m_p;
                if (peek() != 'u')
                    fail(ErrorKind::syntax, "a \\u escape holds half a surrogate pair");
                ++m_p;
                const std::uint32_t low = readHex4();
                if (low < 0xDC00 || low > 0xDFFF)
                    fail(ErrorKind::syntax, "a \\u escape holds half a surrogate pair",
                         offset() - 6);
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            }
            std::string encoded;
            appendUtf8(encoded, code);
            append(encoded.data(), encoded.size());
            continue;
        }
        default:
            fail(ErrorKind::syntax, "an unknown escape in a string", offset() - 2);
        }
        append(&single, 1);
    }
}

std::uint32_t NcduReader::Parser::readHex4()
{
    std::uint32_t code = 0;
    for (int i = 0; i < 4; ++i) {
        const int c = peek();
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c < 0)
            fail(ErrorKind::truncated, "the text ends inside a string");
        else
            fail(ErrorKind::syntax, "a \\u escape needs four hexadecimal digits");
        code = code * 16 + std::uint32_t(digit);
        ++m_p;
    }
    return code;
}

NcduReader::Parser::Number NcduReader::Parser::readNumber()
{
    // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
    Number n;
    int c = peek();
    if (c == '-') {
        n.negative = true;
        ++m_p;
        c = peek();
    }
    const auto digits = [&](const char* what) {
        if (!isDigit(c)) {
            if (c < 0)
                fail(ErrorKind::truncated, "the text ends inside a number");
            fail(ErrorKind::syntax, what);
        }
        while (isDigit(c)) {
            ++m_p;
            c = peek();
        }
    };
    if (c == '0') {
        ++m_p;
        c = peek();
        if (isDigit(c))
            fail(ErrorKind::syntax, "a number with a leading zero");
    } else {
        if (!isDigit(c))
            digits("a number without digits");
        while (isDigit(c)) {
            const auto digit = std::uint64_t(c - '0');
            if (n.magnitude > (UINT64_MAX - digit) / 10)
                n.overflow = true;
            else
                n.magnitude = n.magnitude * 10 + digit;
            ++m_p;
            c = peek();
        }
    }
    if (c == '.') {
        n.integral = false;
        ++m_p;
        c = peek();
        digits("a number without digits after its decimal point");
    }
    if (c == 'e' || c == 'E') {
        n.integral = false;
        ++m_p;
        c = peek();
        if (c == '+' || c == '-') {
            ++m_p;
            c = peek();
        }
        digits("a number without digits in its exponent");
    }
    return n;
}

// true, false or null (which counts as false).
bool NcduReader::Parser::readLiteral()
{
    const int first = peek();
    const char* word = first == 't' ? "true" : first == 'f' ? "false" : "null";
    for (const char* w = word; *w; ++w) {
        const int c = peek();
        if (c < 0)
            fail(ErrorKind::truncated, "the text ends inside a word");
        if (c != static_cast<unsigned char>(*w))
            fail(ErrorKind::syntax, "an unknown word");
        ++m_p;
    }
    return first == 't';
}

// Passes over one JSON value of any kind and nesting, without recursion.
void NcduReader::Parser::skipValue()
{
    m_closers.clear();
    for (;;) {
        // A value.
        const int c = peekToken();
        if (c == '"') {
            readString(m_scratch, 0);
        } else if (c == '-' || isDigit(c)) {
            readNumber();
        } else if (c == 't' || c == 'f' || c == 'n') {
            readLiteral();
        } else if (c == '[' || c == '{') {
            ++m_p;
            const char closer = c == '[' ? ']' : '}';
            if (peekToken() == static_cast<unsigned char>(closer)) {
                ++m_p;
            } else {
                m_closers.push_back(closer);
                if (closer == '}') {
                    if (peekToken() != '"')
                        unexpected("a field name");
                    readString(m_scratch, 0);
                    expect(':', "':'");
                }
                continue;
            }
        } else {
            unexpected("a value");
        }
        // What follows a value inside the open arrays and objects.
        for (;;) {
            if (m_closers.empty())
                return;
            const int next = peekToken();
            if (next == static_cast<unsigned char>(m_closers.back())) {
                ++m_p;
                m_closers.pop_back();
                continue;
            }
            if (next != ',')
                unexpected(m_closers.back() == ']' ? "',' or ']'" : "',' or '}'");
            ++m_p;
            if (m_closers.back() == '}') {
                if (peekToken() != '"')
                    unexpected("a field name");
                readString(m_scratch, 0);
                expect(':', "':'");
            }
            break;
        }
    }
}

void NcduReader::Parser::readMetadata()
{
    if (peekToken() != '{')
        unexpected("the metadata object");
    ++m_p;
    if (peekToken() == '}') {
        ++m_p;
        return;
    }
    for (;;) {
        if (peekToken() != '"')
            unexpected("a field name");
        const bool known = readString(m_key, 16);
        expect(':', "':'");
        const int c = peekToken();
        // The metadata is free-form: a timestamp that is not a time, or a total that is not a
        // count, is passed over.
        const int total = !known                     ? -1
                          : m_key == "total_dsize"   ? 0
                          : m_key == "total_files"   ? 1
                          : m_key == "total_folders" ? 2
                                                     : -1;
        if (known && m_key == "stopped" && (c == 't' || c == 'f' || c == 'n')) {
            m_stopped = readLiteral();
        } else if (known && (m_key == "timestamp" || total >= 0) && (c == '-' || isDigit(c))) {
            const Number n = readNumber();
            const bool valid = n.integral && !n.negative && !n.overflow;
            if (total >= 0 && valid && n.magnitude <= kMaxSize)
                m_totals[total] = std::int64_t(n.magnitude);
            else if (total < 0 && valid && n.magnitude <= std::uint64_t(kMaxSeconds))
                m_scanDate = std::int64_t(n.magnitude) * 1000;
        } else {
            skipValue();
        }
        const int next = peekToken();
        if (next != ',' && next != '}')
            unexpected("',' or '}'");
        ++m_p;
        if (next == '}')
            return;
    }
}

std::uint64_t NcduReader::Parser::readUnsigned(std::string_view field, std::uint64_t max,
                                               ErrorKind negative)
{
    const int c = peekToken();
    if (c < 0)
        unexpected("a number");
    const std::int64_t at = offset();
    if (c != '-' && !isDigit(c))
        fail(ErrorKind::badValue, "the field \"" + std::string(field) + "\" holds no number", at);
    const Number n = readNumber();
    if (!n.integral)
        fail(ErrorKind::badValue, "the field \"" + std::string(field) + "\" is not a whole number",
             at);
    if (n.negative && n.magnitude != 0)
        fail(negative, "the field \"" + std::string(field) + "\" is negative", at);
    if (n.overflow || n.magnitude > max)
        fail(ErrorKind::outOfRange, "the field \"" + std::string(field) + "\" is too large", at);
    return n.magnitude;
}

bool NcduReader::Parser::readBool(std::string_view field)
{
    const int c = peek();
    if (c != 't' && c != 'f' && c != 'n')
        fail(ErrorKind::badValue, "the field \"" + std::string(field) + "\" is not true or false");
    return readLiteral();
}

void NcduReader::Parser::readField(Info& info, std::string_view key)
{
    const int c = peekToken();
    if (c < 0)
        unexpected("a value");
    if (key == "name") {
        if (c != '"')
            fail(ErrorKind::badValue, "a name that is not a string");
        const std::int64_t at = offset();
        if (!readString(info.name, kMaxNameBytes))
            fail(ErrorKind::badName, "a name longer than 65535 bytes", at);
        info.hasName = true;
    } else if (key == "dsize") {
        info.dsize = std::int64_t(readUnsigned(key, kMaxSize, ErrorKind::negativeSize));
    } else if (key == "asize") {
        readUnsigned(key, kMaxSize, ErrorKind::negativeSize); // checked, not counted
    } else if (key == "dev") {
        info.device = readUnsigned(key, UINT64_MAX, ErrorKind::outOfRange);
        info.hasDevice = true;
    } else if (key == "ino") {
        info.inode = readUnsigned(key, UINT64_MAX, ErrorKind::outOfRange);
        info.hasInode = true;
    } else if (key == "nlink") {
        info.links = std::uint32_t(readUnsigned(key, kMaxLinks, ErrorKind::outOfRange));
    } else if (key == "hlnkc") {
        info.hardLinked = readBool(key);
    } else if (key == "read_error") {
        info.readError = readBool(key);
    } else if (key == "notreg") {
        info.notRegular = readBool(key);
    } else if (key == "incomplete") {
        info.incomplete = readBool(key);
    } else if (key == "mtime") {
        // Writers that keep times unsigned write a time before 1970 as its two's complement.
        const std::int64_t at = offset();
        if (c != '-' && !isDigit(c))
            fail(ErrorKind::badValue, "the field \"mtime\" holds no number", at);
        const Number n = readNumber();
        if (!n.integral)
            fail(ErrorKind::badValue, "the field \"mtime\" is not a whole number", at);
        if (n.overflow || (n.negative && n.magnitude > std::uint64_t(INT64_MAX)))
            fail(ErrorKind::outOfRange, "the field \"mtime\" is out of range", at);
        const std::int64_t seconds =
            n.negative ? -std::int64_t(n.magnitude) : static_cast<std::int64_t>(n.magnitude);
        info.modified = seconds >= -kMaxSeconds && seconds <= kMaxSeconds
                            ? FileNode::Timestamp(seconds * 1000)
                            : FileNode::Timestamp();
    } else if (key == "excluded") {
        // "pattern", "otherfs", "kernfs", "frmlnk"; other values (older writers, or "othfs",
        // which some write for "otherfs") count as excluded all the same.
        if (c == '"') {
            readString(m_scratch, 16);
            using E = NodeFacts::Exclusion;
            info.exclusion = m_scratch == "otherfs" || m_scratch == "othfs" ? E::otherFileSystem
                             : m_scratch == "kernfs"                        ? E::kernelFileSystem
                             : m_scratch == "frmlnk"                        ? E::firmlink
                                                                            : E::pattern;
        } else {
            info.exclusion =
                readBool(key) ? NodeFacts::Exclusion::pattern : NodeFacts::Exclusion::none;
        }
    } else {
        skipValue(); // uid, gid, mode and fields this reader does not know
    }
}

// Reads the info object that starts here. Names below the root must be usable as one
// component of a location.
void NcduReader::Parser::readInfo(Info& info, bool isRoot)
{
    const std::int64_t start = offset();
    m_infoStart = start;
    ++m_p;                                   // '{'
    std::string kept = std::move(info.name); // with its capacity
    info = Info();
    info.name = std::move(kept);
    info.name.clear();
    int c = peekToken();
    if (c == '}') {
        ++m_p;
    } else {
        for (;;) {
            if (c != '"')
                unexpected("a field name");
            const bool known = readString(m_key, 16);
            expect(':', "':'");
            if (known)
                readField(info, m_key);
            else
                skipValue();
            c = peekToken();
            if (c == '}') {
                ++m_p;
                break;
            }
            if (c != ',')
                unexpected("',' or '}'");
            ++m_p;
            c = peekToken();
        }
    }
    const std::string_view name = info.name;
    if (!info.hasName)
        fail(ErrorKind::missingName, "an entry without a name", start);
    if (name.empty())
        fail(ErrorKind::badName, "an empty name", start);
    if (name.find('\0') != std::string_view::npos)
        fail(ErrorKind::badName, "a name holding a null byte", start);
    if (!isRoot && (name == "." || name == ".."))
        fail(ErrorKind::badName, "a name that is \".\" or \"..\"", start);
    if (!isRoot && name.find('/') != std::string_view::npos)
        fail(ErrorKind::badName, "a name holding '/'", start);
}

// The facts of an entry worth keeping; false when there are none.
bool NcduReader::Parser::recordFacts(const Info& info, std::uint64_t parentDevice, bool isRoot,
                                     NodeFacts::Facts& facts)
{
    const std::uint64_t device = info.hasDevice ? info.device : parentDevice;
    const bool linked = info.hasInode && (info.hardLinked || info.links > 1);
    facts = {};
    facts.hasDevice = (info.hasDevice && (isRoot || info.device != parentDevice)) || linked;
    facts.device = device;
    facts.hardLinked = linked;
    facts.inode = linked ? info.inode : 0;
    facts.linkCount = linked ? info.links : 0;
    facts.readError = info.readError;
    facts.notRegular = info.notRegular;
    facts.exclusion = info.exclusion;
    return isWorthKeeping(facts);
}

void NcduReader::Parser::countEntry()
{
    ++m_entries;
    if ((m_entries & 1023) != 1)
        return;
    if (m_token.isCancelled())
        throw Cancelled{};
    const auto now = std::chrono::steady_clock::now();
    if (m_reported && now - m_lastReport <= kProgressInterval)
        return;
    m_reported = true;
    m_lastReport = now;
    if (m_progress && !m_stack.empty())
        m_progress(ScanProgress::scanning(
            DisplayText::fromBytes(lastComponent(m_stack.back().name)), m_entries));
}

// Refuses a second entry of the folder being read with this name. The names are kept as seeded
// 64-bit hashes (so that a file cannot be made to collide on purpose): two names alike in one
// folder cannot come from a file system.
void NcduReader::Parser::checkUnique(std::string_view name)
{
    if (!m_stack.back().names.insert(
            qHash(QByteArrayView(name.data(), qsizetype(name.size())), m_seed)))
        fail(ErrorKind::duplicateName, "a second entry with the same name in one folder",
             m_infoStart);
}

// Counts what an entry adds to a tree of the export; refuses it before it passes the budget.
void NcduReader::Parser::charge(std::size_t bytes)
{
    m_cost += std::int64_t(bytes);
    if (m_cost <= m_budget)
        return;
    constexpr std::int64_t kMiB = 1024 * 1024;
    fail(ErrorKind::tooLarge,
         "more entries than fit in half of the memory available (" +
             std::to_string(m_budget / kMiB) + " MiB)",
         m_infoStart);
}

NcduReader::Entry NcduReader::Parser::entryOf(const Info& info, std::uint64_t parentDevice,
                                              bool isRoot, bool isDirectory)
{
    Entry entry;
    entry.name = info.name;
    entry.isDirectory = isDirectory;
    entry.modified = info.modified;
    entry.device = info.hasDevice ? info.device : parentDevice;
    entry.inode = info.hasInode ? info.inode : 0;
    if (recordFacts(info, parentDevice, isRoot, m_entryFacts))
        entry.facts = &m_entryFacts;
    return entry;
}

void NcduReader::Parser::file(Info& info, bool isRoot)
{
    const std::uint64_t parentDevice = m_stack.empty() ? 0 : m_stack.back().device;
    Entry entry = entryOf(info, parentDevice, isRoot, false);
    charge(FileNode::allocationSize(false, info.name.size()) + kEntryOverhead +
           (entry.facts ? kFactsOverhead : 0));
    const bool counts = !info.readError && info.exclusion == NodeFacts::Exclusion::none;
    entry.size = counts ? info.dsize : 0;
    // Another name of a file met before: its space is counted there.
    if (counts && m_entryFacts.hardLinked &&
        !m_linked.insert({m_entryFacts.device, m_entryFacts.inode}).second)
        entry.size = 0;
    if (isRoot)
        m_rootPath = info.name;
    else
        addToParent(entry.size);
    m_visitor.file(entry);
    countEntry();
}

void NcduReader::Parser::enterFolder(Info& info)
{
    const bool isRoot = m_stack.empty();
    const std::uint64_t parentDevice = isRoot ? 0 : m_stack.back().device;
    Entry entry = entryOf(info, parentDevice, isRoot, true);
    entry.incomplete = info.incomplete;
    charge(FileNode::allocationSize(true, info.name.size()) + kEntryOverhead + sizeof(Frame) +
           (entry.facts ? kFactsOverhead : 0));
    if (info.exclusion == NodeFacts::Exclusion::none) {
        // What the folders take themselves adds up in every ancestor, as files' sizes do.
        entry.ownSize = FileNode::keptFolderSize(info.dsize);
        if (__builtin_add_overflow(m_foldersOwnSize, entry.ownSize, &m_foldersOwnSize))
            fail(ErrorKind::outOfRange, "folder sizes that add up to 2^63 bytes or more",
                 m_infoStart);
    }
    if (isRoot)
        m_rootPath = info.name;
    m_visitor.enterFolder(entry);
    Frame& frame = m_stack.emplace_back();
    frame.name.swap(info.name);
    frame.device = entry.device;
    countEntry();
}

void NcduReader::Parser::leaveFolder()
{
    const std::int64_t size = m_stack.back().size;
    m_stack.pop_back();
    if (!m_stack.empty())
        addToParent(size);
    m_visitor.leaveFolder();
}

void NcduReader::Parser::addToParent(std::int64_t size)
{
    Frame& parent = m_stack.back();
    if (__builtin_add_overflow(parent.size, size, &parent.size))
        fail(ErrorKind::outOfRange, "sizes that add up to 2^63 bytes or more");
}

// The root: a folder (an array whose first element is its info object, followed by its
// entries: arrays for folders, objects for files) or a single file.
void NcduReader::Parser::readTree()
{
    if (peekToken() == '{') {
        readInfo(m_info, true);
        if (m_mode == Mode::headerOnly)
            m_rootPath = m_info.name;
        else
            file(m_info, true);
        return;
    }
    for (;;) {
        // At the '[' of a folder.
        ++m_p;
        if (peekToken() != '{')
            unexpected("a folder's info object");
        const bool isRoot = m_stack.empty();
        readInfo(m_info, isRoot);
        if (isRoot && m_mode == Mode::headerOnly) {
            m_rootPath = m_info.name;
            return;
        }
        if (!isRoot)
            checkUnique(m_info.name);
        enterFolder(m_info);
        for (;;) {
            int c = peekToken();
            if (c == ']') {
                ++m_p;
                leaveFolder();
                if (m_stack.empty())
                    return;
                continue;
            }
            if (c != ',')
                unexpected("',' or ']'");
            ++m_p;
            c = peekToken();
            if (c == '[')
                break; // a subfolder
            if (c != '{')
                unexpected("a file's object or a folder's array");
            readInfo(m_info, false);
            checkUnique(m_info.name);
            file(m_info, false);
        }
    }
}

NcduReader::Outcome NcduReader::Parser::run()
{
    int c = peekToken();
    if (c < 0)
        fail(ErrorKind::notAnExport, "the file is empty");
    if (c == 0xBF)
        fail(ErrorKind::notAnExport, "a binary export (ncdu -O); export with -o instead");
    if (c != '[')
        fail(ErrorKind::notAnExport, "the text does not begin with '['");
    ++m_p;
    c = peekToken();
    if (c < 0)
        unexpected("the format's version");
    if (!isDigit(c))
        fail(ErrorKind::notAnExport, "the text does not begin with a format version");
    const std::int64_t versionAt = offset();
    const Number major = readNumber();
    if (!major.integral || major.negative || major.overflow || major.magnitude > kMaxVersion)
        fail(ErrorKind::outOfRange, "the major version is not a number from 0 to 10000", versionAt);
    if (major.magnitude != 1)
        fail(ErrorKind::unsupportedVersion,
             "format version " + std::to_string(major.magnitude) + ", where 1 is known", versionAt);
    expect(',', "','");
    readUnsigned("minor version", kMaxVersion, ErrorKind::outOfRange);
    expect(',', "','");
    readMetadata();
    expect(',', "','");
    c = peekToken();
    if (c != '[' && c != '{')
        unexpected("the root folder's array");
    readTree();
    if (m_mode == Mode::whole) {
        // Elements a later minor version may add after the tree.
        while (peekToken() == ',') {
            ++m_p;
            skipValue();
        }
        expect(']', "']'");
        if (peekToken() >= 0)
            fail(ErrorKind::trailingGarbage, "more text after the end of the export");
    }

    Outcome outcome;
    outcome.rootPath = std::move(m_rootPath);
    outcome.scanDate = m_scanDate;
    outcome.stopped = m_stopped;
    if (m_totals[0] && m_totals[1] && m_totals[2])
        outcome.totals = Totals{*m_totals[0], *m_totals[1], *m_totals[2]};
    outcome.entries = m_entries;
    return outcome;
}

// Builds the tree bottom-up on a stack of open folders.
class NcduReader::TreeBuilder final : public NcduReader::Visitor {
public:
    void enterFolder(const Entry& folder) override
    {
        Frame& frame = m_stack.emplace_back();
        frame.name.assign(folder.name);
        frame.modified = folder.modified;
        frame.ownSize = folder.ownSize;
        frame.inode = folder.inode;
        frame.incomplete = folder.incomplete;
        if (folder.facts) {
            frame.facts = *folder.facts;
            frame.hasFacts = true;
        }
    }
    void file(const Entry& file) override
    {
        NodeRef node = m_stack.empty()
                           ? FileNode::create(lastComponent(file.name), file.name, false, file.size,
                                              file.modified, {}, {}, &m_arena)
                           : FileNode::create(file.name, {}, false, file.size, file.modified, {},
                                              {}, &m_arena);
        node->setInode(file.inode);
        if (file.facts)
            m_facts->edit(node->id()) = *file.facts;
        if (m_stack.empty())
            m_root = std::move(node);
        else
            m_stack.back().children.push_back(std::move(node));
    }
    void leaveFolder() override
    {
        Frame& frame = m_stack.back();
        const bool isRoot = m_stack.size() == 1;
        NodeRef node =
            isRoot ? FileNode::create(lastComponent(frame.name), frame.name, true, frame.ownSize,
                                      frame.modified, {}, std::move(frame.children), &m_arena)
                   : FileNode::create(frame.name, {}, true, frame.ownSize, frame.modified, {},
                                      std::move(frame.children), &m_arena);
        node->setInode(frame.inode);
        node->setIncomplete(frame.incomplete);
        // Where a stopped scan stopped, `read_error` only marks it for ncdu (see NcduWriter).
        if (frame.incomplete && !frame.incompleteBelow)
            frame.facts.readError = false;
        if (frame.hasFacts && isWorthKeeping(frame.facts))
            m_facts->edit(node->id()) = frame.facts;
        m_stack.pop_back();
        if (m_stack.empty()) {
            m_root = std::move(node);
        } else {
            m_stack.back().incompleteBelow |= frame.incomplete;
            m_stack.back().children.push_back(std::move(node));
        }
    }

    NodeRef takeRoot() { return std::move(m_root); }
    std::shared_ptr<NodeFacts> takeFacts() { return std::move(m_facts); }

private:
    struct Frame {
        std::string name;
        FileNode::Timestamp modified;
        std::int64_t ownSize = 0;
        std::uint64_t inode = 0;
        NodeFacts::Facts facts;
        bool hasFacts = false;
        bool incomplete = false;
        bool incompleteBelow = false; // a child folder is incomplete
        std::vector<NodeRef> children;
    };

    std::vector<Frame> m_stack;
    NodeArena m_arena;
    std::shared_ptr<NodeFacts> m_facts = std::make_shared<NodeFacts>();
    NodeRef m_root;
};

std::optional<std::int64_t> NcduReader::availableMemory()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::int64_t kibibytes = 0;
    while (meminfo >> key >> kibibytes) {
        if (key == "MemAvailable:")
            return kibibytes * 1024;
        meminfo.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return std::nullopt;
}

NcduReader::Outcome NcduReader::read(Input& input, Visitor& visitor, Mode mode,
                                     const ProgressHandler& progress,
                                     const CancellationToken& token, std::int64_t budget)
{
    Outcome outcome;
    try {
        Parser parser(input, visitor, mode, progress, token, budget);
        outcome = parser.run();
    } catch (const Failure& failure) {
        outcome.status = Outcome::Status::failed;
        outcome.error = failure.error;
    } catch (const Cancelled&) {
        outcome.status = Outcome::Status::cancelled;
    } catch (const std::bad_alloc&) {
        outcome.status = Outcome::Status::failed;
        outcome.error = {ErrorKind::unreadable, -1, std::strerror(ENOMEM)};
    }
    return outcome;
}

NcduReader::Outcome NcduReader::build(Input& input, const ProgressHandler& progress,
                                      const CancellationToken& token, const MemorySource& memory)
{
    // The tree may take half of the memory available when reading starts.
    const std::optional<std::int64_t> available = memory ? memory() : availableMemory();
    const std::int64_t budget = available ? std::max<std::int64_t>(*available, 0) / 2 : INT64_MAX;
    TreeBuilder builder;
    Outcome outcome = read(input, builder, Mode::whole, progress, token, budget);
    if (outcome.status == Outcome::Status::completed) {
        outcome.root = builder.takeRoot();
        outcome.facts = builder.takeFacts();
    }
    return outcome;
}

namespace {

NcduReader::Outcome cannotOpen(const NcduReader::Error& error)
{
    NcduReader::Outcome outcome;
    outcome.status = NcduReader::Outcome::Status::failed;
    outcome.error = error;
    return outcome;
}

// Takes what readHeader() passes over.
class NoVisitor final : public NcduReader::Visitor {
public:
    void enterFolder(const NcduReader::Entry&) override {}
    void file(const NcduReader::Entry&) override {}
    void leaveFolder() override {}
};

} // namespace

NcduReader::Outcome NcduReader::readFile(const std::string& path, const ProgressHandler& progress,
                                         const CancellationToken& token,
                                         const MemorySource& memory)
{
    GzipInput input(path);
    if (input.openError().kind != ErrorKind::none)
        return cannotOpen(input.openError());
    return build(input, progress, token, memory);
}

NcduReader::Outcome NcduReader::readData(std::string_view data, const ProgressHandler& progress,
                                         const CancellationToken& token, std::size_t chunkSize,
                                         const MemorySource& memory)
{
    MemoryInput input(data, chunkSize);
    return build(input, progress, token, memory);
}

NcduReader::Outcome NcduReader::visitFile(const std::string& path, Visitor& visitor,
                                          const ProgressHandler& progress,
                                          const CancellationToken& token)
{
    GzipInput input(path);
    if (input.openError().kind != ErrorKind::none)
        return cannotOpen(input.openError());
    return read(input, visitor, Mode::whole, progress, token, INT64_MAX);
}

NcduReader::Outcome NcduReader::visitData(std::string_view data, Visitor& visitor,
                                          const ProgressHandler& progress,
                                          const CancellationToken& token, std::size_t chunkSize)
{
    MemoryInput input(data, chunkSize);
    return read(input, visitor, Mode::whole, progress, token, INT64_MAX);
}

NcduReader::Outcome NcduReader::readHeader(const std::string& path)
{
    GzipInput input(path, kHeaderBufferBytes);
    if (input.openError().kind != ErrorKind::none)
        return cannotOpen(input.openError());
    NoVisitor none;
    return read(input, none, Mode::headerOnly, {}, {}, INT64_MAX);
}

bool NcduReader::looksLikeExport(const std::string& path)
{
    GzipInput input(path);
    if (input.openError().kind != ErrorKind::none)
        return false;
    char head[256];
    std::size_t n = 0;
    try {
        n = input.read(head, sizeof head, 0);
    } catch (const Failure&) {
        return false;
    }
    const std::string_view text(head, n);
    const std::size_t bracket = text.find_first_not_of(" \t\r\n");
    if (bracket == std::string_view::npos || text[bracket] != '[')
        return false;
    const std::size_t digit = text.find_first_not_of(" \t\r\n", bracket + 1);
    return digit != std::string_view::npos && isDigit(text[digit]);
}

QString NcduReader::Error::message() const
{
    const QString what = QString::fromUtf8(detail.data(), qsizetype(detail.size()));
    if (offset < 0)
        return what;
    return QStringLiteral("%1 (at byte %2)").arg(what).arg(offset);
}

} // namespace plenvo
