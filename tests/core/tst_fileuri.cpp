#include "utils/FileUri.h"

#include <QTest>

#include <array>

using namespace plenvo;

class FileUriTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A location, its URI and the URI of its folder; decoding gives the bytes back.
    void urisHoldTheExactBytes()
    {
        const std::array<const char*, 3> cases[] = {
            {"/home/ada/notes.txt", "file:///home/ada/notes.txt", "file:///home/ada"},
            {"/a b/x#1?%.txt", "file:///a%20b/x%231%3F%25.txt", "file:///a%20b"},
            {"/d/\xc3\xa9t\xc3\xa9", "file:///d/%C3%A9t%C3%A9", "file:///d"},
            {"/x/bad\xff\xfe.txt", "file:///x/bad%FF%FE.txt", "file:///x"},
            {"/etc", "file:///etc", "file:///"},
            {"/m/dir/", "file:///m/dir/", "file:///m"}};
        for (const auto& [path, uri, folder] : cases) {
            QCOMPARE(FileUri::fromPath(path), QByteArray(uri));
            QCOMPARE(FileUri::ofContainingFolder(path), QByteArray(folder));
            QCOMPARE(QByteArray::fromPercentEncoding(QByteArray(uri).mid(7)), QByteArray(path));
        }
    }
};

QTEST_GUILESS_MAIN(FileUriTest)
#include "tst_fileuri.moc"
