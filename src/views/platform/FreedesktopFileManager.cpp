#include "FreedesktopFileManager.h"

#include "utils/ContainingFolders.h"
#include "utils/FileUri.h"
#include "utils/Localization.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

namespace plenvo {

namespace {

QDBusConnection busFor(const QString& address)
{
    if (address.isEmpty())
        return QDBusConnection::sessionBus();
    return QDBusConnection::connectToBus(address, QStringLiteral("plenvo-file-manager"));
}

} // namespace

FreedesktopFileManager::FreedesktopFileManager(FolderOpener opener, QString busAddress,
                                               Notice notice)
    : m_opener(std::move(opener)), m_busAddress(std::move(busAddress)), m_notice(std::move(notice))
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
        openContainingFolders(m_opener, m_notice, paths);
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
                     [opener = m_opener, notice = m_notice, paths, watcher] {
                         if (watcher->isError())
                             openContainingFolders(opener, notice, paths);
                         watcher->deleteLater();
                     });
}

void FreedesktopFileManager::openContainingFolders(const FolderOpener& opener,
                                                   const Notice& notice,
                                                   const std::vector<std::string>& paths)
{
    const ContainingFolders::Choice choice = ContainingFolders::choose(paths, kMaxFoldersOpened);
    for (const std::string& folder : choice.chosen)
        opener(FileUri::fromPath(folder));
    if (choice.leftOut > 0 && notice)
        notice(L("reveal.foldersLeftOut %lld %lld", qint64(choice.chosen.size()),
                 qint64(choice.leftOut)));
}

} // namespace plenvo
