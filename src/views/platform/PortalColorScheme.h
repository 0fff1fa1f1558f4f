#pragma once

#include "ColorSchemeSource.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace plenvo {

// The colour scheme the desktop prefers, from the freedesktop.org Settings portal on the
// session bus: the key "color-scheme" of the namespace "org.freedesktop.appearance" (0 no
// preference, 1 dark, 2 light), read once and then followed through the SettingChanged signal.
// The read is asynchronous with a short timeout, so a portal that does not answer never holds
// up the user interface; without a bus, a portal or an answer the source settles with none.
class PortalColorScheme final : public ColorSchemeSource {
    Q_OBJECT

public:
    static constexpr int kReadTimeoutMilliseconds = 1000;

    static constexpr const char* kService = "org.freedesktop.portal.Desktop";
    static constexpr const char* kPath = "/org/freedesktop/portal/desktop";
    static constexpr const char* kInterface = "org.freedesktop.portal.Settings";
    static constexpr const char* kNamespace = "org.freedesktop.appearance";
    static constexpr const char* kKey = "color-scheme";

    explicit PortalColorScheme(const QDBusConnection& bus = QDBusConnection::sessionBus(),
                               int timeoutMilliseconds = kReadTimeoutMilliseconds,
                               QObject* parent = nullptr);

    std::optional<Preference> preference() const override { return m_preference; }
    bool isSettled() const override { return m_settled; }

    // The preference a value of the key stands for; none when it is not a number (old portals
    // wrap the value in one more variant, which is unwrapped).
    static std::optional<Preference> preferenceOf(const QVariant& value);

private Q_SLOTS:
    void settingChanged(const QDBusMessage& message);

private:
    void settle(std::optional<Preference> preference);
    void setPreference(std::optional<Preference> preference);

    std::optional<Preference> m_preference;
    bool m_settled = false;
};

} // namespace plenvo
