#include "PortalColorScheme.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QTimer>

namespace plenvo {

PortalColorScheme::PortalColorScheme(const QDBusConnection& bus, int timeoutMilliseconds,
                                     QObject* parent)
    : ColorSchemeSource(parent)
{
    if (!bus.isConnected()) {
        // Settles once the event loop runs, as an answer would: whoever made the source has
        // connected to it by then.
        QTimer::singleShot(0, this, [this] { settle(std::nullopt); });
        return;
    }
    const QString service = QString::fromLatin1(kService), path = QString::fromLatin1(kPath),
                  interface = QString::fromLatin1(kInterface);
    // The slot takes the whole message: QtDBus refuses a slot with a QDBusVariant parameter
    // until it has registered its own types, which it does lazily.
    QDBusConnection(bus).connect(service, path, interface, QStringLiteral("SettingChanged"), this,
                                 SLOT(settingChanged(QDBusMessage)));
    QDBusMessage read =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Read"));
    read << QString::fromLatin1(kNamespace) << QString::fromLatin1(kKey);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read, timeoutMilliseconds), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        const QDBusMessage reply = watcher->reply();
        watcher->deleteLater();
        if (m_settled)
            return; // a change came first: it is newer than this answer
        settle(reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                   ? preferenceOf(reply.arguments().front())
                   : std::nullopt);
    });
}

std::optional<ColorSchemeSource::Preference> PortalColorScheme::preferenceOf(const QVariant& value)
{
    QVariant inner = value;
    for (int depth = 0; depth < 4 && inner.canConvert<QDBusVariant>() &&
                        inner.metaType() == QMetaType::fromType<QDBusVariant>();
         ++depth)
        inner = inner.value<QDBusVariant>().variant();
    bool isNumber = false;
    const uint number = inner.toUInt(&isNumber);
    if (!isNumber || inner.metaType() == QMetaType::fromType<QString>())
        return std::nullopt;
    switch (number) {
    case 1:
        return Preference::dark;
    case 2:
        return Preference::light;
    default:
        return Preference::noPreference;
    }
}

void PortalColorScheme::settingChanged(const QDBusMessage& message)
{
    // (s namespace, s key, v value)
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() != 3 || arguments[0].toString() != QLatin1String(kNamespace) ||
        arguments[1].toString() != QLatin1String(kKey))
        return;
    const std::optional<Preference> preference = preferenceOf(arguments[2]);
    if (!m_settled)
        settle(preference);
    else
        setPreference(preference);
}

void PortalColorScheme::settle(std::optional<Preference> preference)
{
    m_settled = true;
    setPreference(preference);
    Q_EMIT settled();
}

void PortalColorScheme::setPreference(std::optional<Preference> preference)
{
    if (preference == m_preference)
        return;
    m_preference = preference;
    Q_EMIT preferenceChanged();
}

} // namespace plenvo
