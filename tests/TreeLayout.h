#pragma once

// Files of chosen content laid out in a scratch folder, for the tests of the search for
// duplicates and of what is built on it.

#include "TestSupport.h"

#include <QByteArray>
#include <QList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace plenvo::test {

// Content made from a seed: different seeds differ from the first byte on.
inline QByteArray content(qint64 size, quint64 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint64 x = seed * 0x9E3779B97F4A7C15ull + 1;
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        bytes[i] = char(x);
    }
    return bytes;
}

inline bool writeBytes(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written =
        fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

inline bool makeParents(const ScratchDir& dir, const QByteArray& relative)
{
    for (qsizetype slash = relative.indexOf('/'); slash > 0;
         slash = relative.indexOf('/', slash + 1))
        if (::mkdir(dir.file(relative.left(slash)).constData(), 0755) != 0 && errno != EEXIST)
            return false;
    return true;
}

// Lays out files below `dir` from a list such as "a/x=5000:1 b/y=5000:1^ sub/l>a/x": NAME=SIZE:
// SEED is a file of SIZE bytes of content(SIZE, SEED), with its first byte changed when a ^
// follows and its last byte when a $ follows; NAME>TARGET is a further name of TARGET. Folders
// are made as needed.
inline bool lay(const ScratchDir& dir, const QByteArray& entries)
{
    for (const QByteArray& entry : entries.split(' ')) {
        const qsizetype arrow = entry.indexOf('>');
        const QByteArray name = entry.left(arrow > 0 ? arrow : entry.indexOf('='));
        if (!makeParents(dir, name))
            return false;
        if (arrow > 0) {
            if (::link(dir.file(entry.mid(arrow + 1)).constData(), dir.file(name).constData()))
                return false;
            continue;
        }
        QByteArray contentText = entry.mid(name.size() + 1);
        const bool first = contentText.endsWith('^');
        const bool last = contentText.endsWith('$');
        if (first || last)
            contentText.chop(1);
        const QList<QByteArray> fields = contentText.split(':');
        QByteArray bytes = content(fields.value(0).toLongLong(), fields.value(1).toULongLong());
        if (first && !bytes.isEmpty())
            bytes.front() = char(~bytes.front());
        if (last && !bytes.isEmpty())
            bytes.back() = char(~bytes.back());
        if (!writeBytes(dir.file(name), bytes))
            return false;
    }
    return true;
}

// Sets a file's times of last access and last modification.
inline bool setModified(const QByteArray& path, std::int64_t seconds)
{
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    return ::utimensat(AT_FDCWD, path.constData(), times, 0) == 0;
}

} // namespace plenvo::test
