// The desktop facilities: what reaches the clipboard, and how the file manager is asked.

#include "TestSupport.h"

#include "platform/FreedesktopFileManager.h"
#include "platform/SystemClipboard.h"
#include "utils/Localization.h"

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

        // A name that would run a command when pasted into a terminal is quoted there.
        const std::string hostile = "/data/x\nrm -rf ~\n";
        const auto quoted = SystemClipboard::mimeDataFor({hostile});
        QCOMPARE(quoted->text(), QStringLiteral("$'/data/x\\nrm -rf ~\\n'"));
        QCOMPARE(quoted->data(QStringLiteral("text/uri-list")),
                 QByteArray("file:///data/x%0Arm%20-rf%20~%0A\r\n"));

        SystemClipboard clipboard;
        clipboard.copyPaths({"/data/report.pdf"});
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        if (!copied || !copied->hasText())
            QSKIP("this platform has no clipboard");
        QCOMPARE(copied->text(), QStringLiteral("/data/report.pdf"));
    }

    // One window per folder, the exact bytes in the address; never more than a few windows,
    // however many folders, and then a notice of how many were left out.
    void withoutABusTheContainingFoldersOpen()
    {
        Localization::setLanguage(u"en");
        std::vector<QByteArray> opened;
        QStringList notices;
        FreedesktopFileManager manager([&](const QByteArray& uri) { opened.push_back(uri); },
                                       QStringLiteral("unix:path=/nonexistent/plenvo-bus"),
                                       [&](const QString& notice) { notices << notice; });
        manager.revealItems({"/m/a/one.txt", "/m/a/two.txt", "/m/b\xff/three.txt"});
        QCOMPARE(opened, (std::vector<QByteArray>{"file:///m/a", "file:///m/b%FF"}));
        QVERIFY(notices.isEmpty());
        manager.revealItems({});
        QCOMPARE(opened.size(), size_t(2));

        opened.clear();
        std::vector<std::string> many;
        for (int i = 0; i < 200; ++i)
            many.push_back("/big/d" + std::to_string(i % 50) + "/f" + std::to_string(i));
        manager.revealItems(many);
        QCOMPARE(opened, (std::vector<QByteArray>{"file:///big/d0", "file:///big/d1",
                                                  "file:///big/d2"}));
        QCOMPARE(notices, QStringList{L("reveal.foldersLeftOut %lld %lld", qint64(3), qint64(47))});
    }
};

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"
