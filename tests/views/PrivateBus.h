#pragma once

// A D-Bus session bus of the test's own: a dbus-daemon started for it and stopped with it, so
// that services can be faked without touching the desktop's bus.

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace plenvo::test {

class PrivateBus {
public:
    PrivateBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            m_problem = QStringLiteral("dbus-daemon is not installed (package dbus-daemon)");
            return;
        }
        m_daemon.setProgram(daemon);
        m_daemon.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                               QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
        m_daemon.start();
        if (!m_daemon.waitForStarted(5000)) {
            m_problem = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
            return;
        }
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
        }
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        if (m_address.isEmpty())
            m_problem = QStringLiteral("dbus-daemon printed no address");
    }
    ~PrivateBus()
    {
        for (const QString& name : m_connections)
            QDBusConnection::disconnectFromBus(name);
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Why the bus is not there; empty when it is.
    const QString& problem() const { return m_problem; }
    const QString& address() const { return m_address; }

    // A new connection to the bus, with a unique name of its own on it.
    QDBusConnection connect(const QString& name)
    {
        m_connections << name;
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QProcess m_daemon;
    QString m_address;
    QString m_problem;
    QStringList m_connections;
};

} // namespace plenvo::test
