#include "DesktopShell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QUrl>

bool DesktopShell::openUrl(const QString &address)
{
    return QDesktopServices::openUrl(QUrl(address));
}

bool DesktopShell::showInFileManager(const QByteArray &path)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QString::fromLatin1("file://" + path.toPercentEncoding("/"))} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    // No file manager answers there: its folder, opened as a file address.
    return Shell::showInFileManager(path);
}
