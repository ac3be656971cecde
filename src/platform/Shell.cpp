#include "Shell.h"

#include "FreedesktopTrash.h"

#include <QUrl>

namespace {

class NoShell final : public Shell {
public:
    bool openUrl(const QString &) override { return false; }
};

NoShell none;
Shell *installed = &none;

} // namespace

bool Shell::showInFileManager(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray("/") : path.left(slash);
    return openUrl(QUrl::fromEncoded("file://" + folder.toPercentEncoding("/")).toString());
}

bool Shell::moveToTrash(const QByteArray &path, QString *error)
{
    return !FreedesktopTrash::moveToTrash(path, error).isEmpty();
}

Shell &Shell::current()
{
    return *installed;
}

void Shell::install(Shell *shell)
{
    installed = shell ? shell : &none;
}
