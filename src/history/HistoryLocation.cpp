#include "HistoryLocation.h"

#include "HistoryStore.h"
#include "platform/ProfileFile.h"

#include <QUrl>
#include <QUrlQuery>

namespace {

// The longest location taken from the environment or a settings file.
constexpr qsizetype longestLocation = 1024;

bool plainWord(const QString &value)
{
    if (value.isEmpty() || value.size() > 255)
        return false;
    for (const QChar c : value)
        if (!(c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.'))
            return false;
    return true;
}

} // namespace

bool HistoryLocation::isConnectionString(const QString &location)
{
    return location.startsWith(QLatin1StringView("postgresql://")) ||
           location.startsWith(QLatin1StringView("postgres://"));
}

QString HistoryLocation::chosen(const QString &given, const QString &settingsPath)
{
    if (!given.isEmpty())
        return given;
    const QString environment = qEnvironmentVariable("QUILLIX_HISTORY_DB");
    if (!environment.isEmpty())
        return environment.left(longestLocation + 1);
    const std::optional<QString> setting =
        ProfileFile(settingsPath)
            .readString(QStringLiteral("Options"), QStringLiteral("HistoryDatabase"));
    if (setting && !setting->trimmed().isEmpty())
        return setting->trimmed().left(longestLocation + 1);
    return HistoryStore::defaultPath();
}

HistoryLocation::HistoryLocation(const QString &location)
{
    m_shown = location;
    if (location.size() > longestLocation) {
        m_shown = location.left(60) + QStringLiteral("...");
        m_error = QStringLiteral("the history's location is longer than %1 characters")
                      .arg(longestLocation);
        return;
    }
    if (!isConnectionString(location)) {
        m_path = location;
        if (!location.startsWith(u'/'))
            m_error = QStringLiteral("the history is a file named by its whole path (/...) or a "
                                     "PostgreSQL database (postgresql://...), not '%1'")
                          .arg(location);
        return;
    }
    m_engine = Engine::PostgreSQL;
    const QUrl url(location, QUrl::StrictMode);
    m_shown = url.isValid() ? url.toDisplayString(QUrl::RemovePassword)
                            : QStringLiteral("postgresql://...");
    if (!url.isValid()) {
        m_error = QStringLiteral("the connection string is not valid: ") + url.errorString();
        return;
    }
    if (!url.password().isEmpty()) {
        m_error = QStringLiteral("a password is never taken from the connection string: put it "
                                 "in ~/.pgpass or PGPASSWORD");
        return;
    }
    m_host = url.host();
    m_port = url.port();
    m_user = url.userName();
    m_database = url.path().mid(1);
    if (m_database.contains(u'/')) {
        m_error = QStringLiteral("the connection string names no single database");
        return;
    }
    // Five seconds to connect, and a server gone quiet given up as soon: a run never waits
    // longer for its history.
    QStringList options{QStringLiteral("connect_timeout=5"),
                        QStringLiteral("tcp_user_timeout=5000")};
    const QUrlQuery query(url);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == u"host") {
            m_host = value;
        } else if (key == u"port") {
            bool number = false;
            m_port = value.toInt(&number);
            if (!number || m_port < 1 || m_port > 65535) {
                m_error =
                    QStringLiteral("the port '%1' is not a number from 1 to 65535").arg(value);
                return;
            }
        } else if ((key == u"sslmode" || key == u"application_name") && plainWord(value)) {
            options.append(key + u'=' + value);
        } else {
            m_error = QStringLiteral("the connection string's '%1' is not one Quillix takes "
                                     "(host, port, sslmode, application_name)")
                          .arg(key);
            return;
        }
    }
    m_options = options.join(u';');
}
