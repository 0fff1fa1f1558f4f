#include "FreedesktopFileManager.h"

#include "utils/FileUri.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

#include <set>

namespace plenvo {

namespace {

QDBusConnection busFor(const QString& address)
{
    if (address.isEmpty())
        return QDBusConnection::sessionBus();
    return QDBusConnection::connectToBus(address, QStringLiteral("plenvo-file-manager"));
}

} // namespace

FreedesktopFileManager::FreedesktopFileManager(FolderOpener opener, QString busAddress)
    : m_opener(std::move(opener)), m_busAddress(std::move(busAddress))
{
    if (!m_opener)
        m_opener = [](const QByteArray& uri) { QDesktopServices::openUrl(QUrl::fromEncoded(uri)); };
}

void FreedesktopFileManager::revealItems(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return;
    QDBusConnection bus = busFor(m_busAddress);
    if (!bus.isConnected()) {
        openContainingFolders(m_opener, paths);
        return;
    }
    QStringList uris;
    for (const std::string& path : paths)
        uris.append(QString::fromLatin1(FileUri::fromPath(path))); // ASCII: percent-encoded
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << uris << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kCallTimeoutMilliseconds));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [opener = m_opener, paths, watcher] {
                         if (watcher->isError())
                             openContainingFolders(opener, paths);
                         watcher->deleteLater();
                     });
}

void FreedesktopFileManager::openContainingFolders(const FolderOpener& opener,
                                                   const std::vector<std::string>& paths)
{
    std::set<QByteArray> opened;
    for (const std::string& path : paths) {
        const QByteArray folder = FileUri::ofContainingFolder(path);
        if (opened.insert(folder).second)
            opener(folder);
    }
}

} // namespace plenvo
