// The desktop facilities: what reaches the clipboard, and how the file manager is asked.

#include "TestSupport.h"

#include "platform/FreedesktopFileManager.h"
#include "platform/SystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

using namespace plenvo;

class PlatformTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void copiedPathsKeepTheirBytesInTheUriList()
    {
        const std::string path = "/data/bad\xff name.txt";
        const auto data = SystemClipboard::mimeDataFor({path, "/data/b"});
        QCOMPARE(data->text(), QString::fromUtf8(path.data(), qsizetype(path.size())) +
                                   QStringLiteral("\n/data/b"));
        QCOMPARE(data->data(QStringLiteral("text/uri-list")),
                 QByteArray("file:///data/bad%FF%20name.txt\r\nfile:///data/b\r\n"));

        SystemClipboard clipboard;
        clipboard.copyPaths({"/data/report.pdf"});
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        if (!copied || !copied->hasText())
            QSKIP("this platform has no clipboard");
        QCOMPARE(copied->text(), QStringLiteral("/data/report.pdf"));
    }

    void withoutABusTheContainingFoldersOpen()
    {
        std::vector<QByteArray> opened;
        FreedesktopFileManager manager([&](const QByteArray& uri) { opened.push_back(uri); },
                                       QStringLiteral("unix:path=/nonexistent/plenvo-bus"));
        manager.revealItems({"/m/a/one.txt", "/m/a/two.txt", "/m/b\xff/three.txt"});
        // One window per folder, the exact bytes in the address.
        QCOMPARE(opened, (std::vector<QByteArray>{"file:///m/a", "file:///m/b%FF"}));
        manager.revealItems({});
        QCOMPARE(opened.size(), size_t(2));
    }
};

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"
