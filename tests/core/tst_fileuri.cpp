#include "utils/FileUri.h"

#include <QTest>

using namespace plenvo;

class FileUriTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void urisHoldTheExactBytes_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("uri");
        QTest::addColumn<QByteArray>("folder");
        QTest::newRow("plain") << QByteArray("/home/ada/notes.txt")
                               << QByteArray("file:///home/ada/notes.txt")
                               << QByteArray("file:///home/ada");
        QTest::newRow("spaces and reserved")
            << QByteArray("/a b/x#1?%.txt") << QByteArray("file:///a%20b/x%231%3F%25.txt")
            << QByteArray("file:///a%20b");
        QTest::newRow("utf-8") << QByteArray("/d/\xc3\xa9t\xc3\xa9")
                               << QByteArray("file:///d/%C3%A9t%C3%A9") << QByteArray("file:///d");
        QTest::newRow("not utf-8")
            << QByteArray("/x/bad\xff\xfe.txt") << QByteArray("file:///x/bad%FF%FE.txt")
            << QByteArray("file:///x");
        QTest::newRow("item of the root")
            << QByteArray("/etc") << QByteArray("file:///etc") << QByteArray("file:///");
        QTest::newRow("trailing slash")
            << QByteArray("/m/dir/") << QByteArray("file:///m/dir/") << QByteArray("file:///m");
    }

    void urisHoldTheExactBytes()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, uri);
        QFETCH(QByteArray, folder);
        const std::string_view bytes(path.constData(), size_t(path.size()));
        QCOMPARE(FileUri::fromPath(bytes), uri);
        QCOMPARE(FileUri::ofContainingFolder(bytes), folder);
        // Decoding gives the bytes back.
        QCOMPARE(QByteArray::fromPercentEncoding(uri.mid(7)), path);
    }
};

QTEST_GUILESS_MAIN(FileUriTest)
#include "tst_fileuri.moc"
