// The desktop facilities: what reaches the clipboard, how the file manager is asked, and how
// the colour scheme the desktop prefers is heard (from a Settings portal faked on a bus of the
// test's own) and followed.

#include "PrivateBus.h"
#include "TestSupport.h"

#include "platform/FreedesktopFileManager.h"
#include "platform/PortalColorScheme.h"
#include "platform/SystemClipboard.h"
#include "utils/Localization.h"
#include "theme/ColorSchemeFollower.h"
#include "theme/Colors.h"
#include "theme/Palettes.h"

#include <QApplication>
#include <QClipboard>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

using namespace plenvo;
using namespace plenvo::test;
using Preference = ColorSchemeSource::Preference;

namespace {

const QString kAppearance = QString::fromLatin1(PortalColorScheme::kNamespace);
const QString kColorScheme = QString::fromLatin1(PortalColorScheme::kKey);

// The Settings portal as desktops run it, with a colour scheme the test sets. It answers Read
// for its one key (wrapped in a second variant, as portals before 1.15 did, when told to), or
// keeps silent, and announces changes.
class FakeSettingsPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    explicit FakeSettingsPortal(QDBusConnection bus) : m_bus(std::move(bus))
    {
        m_bus.registerObject(QString::fromLatin1(PortalColorScheme::kPath), this,
                             QDBusConnection::ExportAllSlots);
        m_bus.registerService(QString::fromLatin1(PortalColorScheme::kService));
    }

    void announce(const QString& nameSpace, const QString& key, uint value)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            QString::fromLatin1(PortalColorScheme::kPath),
            QString::fromLatin1(PortalColorScheme::kInterface), QStringLiteral("SettingChanged"));
        signal << nameSpace << key << QVariant::fromValue(QDBusVariant(value));
        m_bus.send(signal);
    }

    uint colorScheme = 0;
    bool wrapTwice = false;
    bool silent = false;
    int reads = 0;

public Q_SLOTS:
    QDBusVariant Read(const QString& nameSpace, const QString& key, const QDBusMessage& message)
    {
        ++reads;
        if (silent || nameSpace != kAppearance || key != kColorScheme) {
            message.setDelayedReply(true);
            if (!silent)
                m_bus.send(message.createErrorReply(
                    QStringLiteral("org.freedesktop.portal.Error.NotFound"), key));
            return {};
        }
        const QVariant value = QVariant::fromValue(colorScheme);
        return wrapTwice ? QDBusVariant(QVariant::fromValue(QDBusVariant(value)))
                         : QDBusVariant(value);
    }

private:
    QDBusConnection m_bus;
};

// A source that says what the test sets.
class FixedSource : public ColorSchemeSource {
public:
    std::optional<Preference> preference() const override { return m_preference; }
    bool isSettled() const override { return true; }
    void set(std::optional<Preference> preference)
    {
        m_preference = preference;
        Q_EMIT preferenceChanged();
    }

private:
    std::optional<Preference> m_preference;
};

} // namespace

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

    // The portal's answer decides at start, and its changes are followed live; changes of
    // other keys and namespaces are not taken. Dark brings the application's dark palette over
    // a light platform; light and no preference bring the platform's palette back.
    void theDesktopsColourSchemeIsFollowed()
    {
        PrivateBus bus;
        if (!bus.problem().isEmpty())
            QSKIP(qPrintable(bus.problem()));
        FakeSettingsPortal portal(bus.connect(QStringLiteral("portal")));
        portal.colorScheme = 1;
        const QPalette platform = Palettes::light();
        QApplication::setPalette(platform);
        PortalColorScheme source(bus.connect(QStringLiteral("application")));
        ColorSchemeFollower follower(source, platform);
        QSignalSpy changes(&source, &ColorSchemeSource::preferenceChanged);
        QTRY_VERIFY(source.isSettled());
        QCOMPARE(source.preference(), Preference::dark);
        QVERIFY(QApplication::palette() == Palettes::dark());
        QCOMPARE(Colors::currentScheme(), Colors::Scheme::dark);

        portal.announce(QStringLiteral("org.gnome.desktop.interface"), kColorScheme, 2);
        portal.announce(kAppearance, QStringLiteral("accent-color"), 2);
        portal.announce(kAppearance, kColorScheme, 2);
        QTRY_COMPARE(source.preference(), Preference::light);
        QCOMPARE(changes.count(), 2); // the answer, then light: nothing in between
        QVERIFY(QApplication::palette() == platform);
        portal.announce(kAppearance, kColorScheme, 1);
        QTRY_COMPARE(source.preference(), Preference::dark);
        QVERIFY(QApplication::palette() == Palettes::dark());
        portal.announce(kAppearance, kColorScheme, 0);
        QTRY_COMPARE(source.preference(), Preference::noPreference);
        QVERIFY(QApplication::palette() == platform);
        QCOMPARE(portal.reads, 1);
    }

    // Portals before 1.15 wrap the value in a second variant.
    void anOlderPortalIsUnderstood()
    {
        PrivateBus bus;
        if (!bus.problem().isEmpty())
            QSKIP(qPrintable(bus.problem()));
        FakeSettingsPortal portal(bus.connect(QStringLiteral("portal")));
        portal.colorScheme = 2;
        portal.wrapTwice = true;
        PortalColorScheme source(bus.connect(QStringLiteral("application")));
        QTRY_VERIFY(source.isSettled());
        QCOMPARE(source.preference(), Preference::light);
        QCOMPARE(PortalColorScheme::preferenceOf(QVariant::fromValue(QStringLiteral("1"))),
                 std::nullopt);
        QCOMPARE(PortalColorScheme::preferenceOf(QVariant::fromValue(7u)),
                 Preference::noPreference);
    }

    // Without a portal on the bus, or without a bus, the source settles without an answer and
    // the platform's palette stays. A portal that keeps silent is not waited for beyond the
    // timeout; a change it announces later is still followed.
    void withoutAnAnswerThePlatformsPaletteStays()
    {
        PrivateBus bus;
        if (!bus.problem().isEmpty())
            QSKIP(qPrintable(bus.problem()));
        const QPalette platform = Palettes::light();
        QApplication::setPalette(platform);
        {
            PortalColorScheme source(bus.connect(QStringLiteral("lonely")));
            ColorSchemeFollower follower(source, platform);
            QSignalSpy settled(&source, &ColorSchemeSource::settled);
            QVERIFY(settled.wait());
            QCOMPARE(source.preference(), std::nullopt);
            QVERIFY(QApplication::palette() == platform);
        }
        {
            PortalColorScheme source(QDBusConnection::connectToBus(
                QStringLiteral("unix:path=/nonexistent/plenvo-bus"), QStringLiteral("nowhere")));
            QSignalSpy settled(&source, &ColorSchemeSource::settled);
            QVERIFY(settled.wait());
            QCOMPARE(source.preference(), std::nullopt);
            QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
        }
        FakeSettingsPortal portal(bus.connect(QStringLiteral("portal")));
        portal.silent = true;
        PortalColorScheme source(bus.connect(QStringLiteral("application")), 200);
        ColorSchemeFollower follower(source, platform);
        QSignalSpy settled(&source, &ColorSchemeSource::settled);
        QVERIFY(settled.wait());
        QCOMPARE(portal.reads, 1);
        QCOMPARE(source.preference(), std::nullopt);
        QVERIFY(QApplication::palette() == platform);
        portal.announce(kAppearance, kColorScheme, 1);
        QTRY_VERIFY(QApplication::palette() == Palettes::dark());
    }

    // The platform's own palette is kept when it is in the preferred scheme already (a desktop
    // theme's dark palette); only the other scheme is replaced.
    void thePlatformsPaletteWinsInItsOwnScheme()
    {
        QPalette desktopDark = Palettes::dark();
        desktopDark.setColor(QPalette::Window, QColor(0x20, 0x23, 0x26));
        const QPalette desktopLight = Palettes::light();
        const std::tuple<QPalette, std::optional<Preference>, QPalette> cases[] = {
            {desktopDark, Preference::dark, desktopDark},
            {desktopDark, Preference::light, Palettes::light()},
            {desktopDark, Preference::noPreference, desktopDark},
            {desktopDark, std::nullopt, desktopDark},
            {desktopLight, Preference::dark, Palettes::dark()},
            {desktopLight, Preference::light, desktopLight}};
        for (const auto& [platform, preference, wanted] : cases) {
            FixedSource source;
            source.set(preference);
            ColorSchemeFollower follower(source, platform);
            QVERIFY(follower.wantedPalette() == wanted);
            QVERIFY(QApplication::palette() == wanted);
        }
    }
};

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"
