#pragma once

// Fixtures shared by the tests: scratch folders on an ordinary file system (the build
// folder, not /tmp, which may be tmpfs) and small helpers to lay out file trees.

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

namespace plenvo::test {

inline QString scratchRoot()
{
    QString root = qEnvironmentVariable("PLENVO_TEST_SCRATCH");
    if (root.isEmpty())
        root = QDir::currentPath() + QStringLiteral("/test-scratch");
    QDir().mkpath(root);
    return root;
}

// A temporary folder under the scratch root, removed (with `rm -rf`, which copes with trees
// deeper than PATH_MAX and with unreadable folders) when it goes out of scope.
class ScratchDir {
public:
    ScratchDir() : ScratchDir(scratchRoot()) {}
    explicit ScratchDir(const QString& base) : m_dir(base + QStringLiteral("/t-XXXXXX"))
    {
        m_dir.setAutoRemove(false);
        m_path = m_dir.path().toLocal8Bit();
    }
    ~ScratchDir()
    {
        QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+rwx"),
                                                    QString::fromLocal8Bit(m_path)});
        QProcess::execute(QStringLiteral("rm"),
                          {QStringLiteral("-rf"), QString::fromLocal8Bit(m_path)});
    }
    bool isValid() const { return m_dir.isValid(); }
    const QByteArray& path() const { return m_path; }
    std::string str() const { return m_path.toStdString(); }
    QByteArray file(const QByteArray& relative) const { return m_path + '/' + relative; }

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
};

inline bool makeDir(const QByteArray& path)
{
    return ::mkdir(path.constData(), 0755) == 0;
}

inline bool writeFile(const QByteArray& path, qint64 bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    QByteArray data(static_cast<qsizetype>(bytes), 'x');
    const bool ok = ::write(fd, data.constData(), static_cast<size_t>(data.size())) == data.size();
    ::close(fd);
    return ok;
}

// The allocated size the scanner reports for an entry (its blocks), read with lstat.
inline qint64 allocatedSize(const QByteArray& path)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return -1;
    return qint64(st.st_blocks) * 512;
}

} // namespace plenvo::test
