#include "DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopShell::openUrl(const QString &address)
{
    return QDesktopServices::openUrl(QUrl(address));
}
