#include "ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcProfile, "quillix.profile", QtInfoMsg)

namespace {

constexpr QByteArrayView byteOrderMark("\xEF\xBB\xBF");

// A line without its end: the "\r" of a file written on Windows is not part of it, nor the
// byte-order mark an editor may put before the first line.
QByteArrayView content(const QByteArray &line)
{
    QByteArrayView text = line.endsWith('\r') ? QByteArrayView(line).chopped(1) : line;
    return text.startsWith(byteOrderMark) ? text.sliced(byteOrderMark.size()) : text;
}

// A value as the profile functions give it: trimmed, and without the double quotes it may
// stand in.
QString valueOf(QByteArrayView text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
        text = text.sliced(1, text.size() - 2);
    return QString::fromUtf8(text);
}

// The section named by a "[Name]" line, or nothing for any other line.
std::optional<QString> sectionOf(const QByteArray &line)
{
    const QByteArrayView trimmed = content(line).trimmed();
    if (!trimmed.startsWith('['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(']');
    const QByteArrayView name = close < 0 ? trimmed.sliced(1) : trimmed.sliced(1, close - 1);
    return QString::fromUtf8(name.trimmed());
}

// The key of a "Key=Value" line as written, or nothing for comments and other lines.
std::optional<QByteArrayView> keyOf(const QByteArray &line)
{
    const QByteArrayView trimmed = content(line).trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';'))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf('=');
    if (equals <= 0)
        return std::nullopt;
    return trimmed.first(equals).trimmed();
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

ProfileFile::ProfileFile(QString path) : m_path(std::move(path)) {}

QString ProfileFile::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/quillset.ini");
}

ProfileFile::Load ProfileFile::load(QByteArray &data, QString &error) const
{
    data.clear();
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // Nothing there, not even its folder: nothing to lose.
        if (errno == ENOENT || errno == ENOTDIR)
            return Load::Missing;
        error = systemError(errno);
        return Load::Failed;
    }
    const QString tooLarge = QStringLiteral("larger than %1 MB").arg(maxFileSize / (1024 * 1024));
    // The reason the file cannot be read, or the empty text.
    auto readAll = [&]() -> QString {
        struct stat info {};
        if (::fstat(fd, &info) != 0)
            return systemError(errno);
        if (!S_ISREG(info.st_mode))
            return QStringLiteral("not a file");
        if (info.st_size > maxFileSize)
            return tooLarge;
        data.reserve(qsizetype(info.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return systemError(errno);
            if (n == 0)
                return QString();
            // A file that grows while it is read is refused all the same.
            if (data.size() + n > maxFileSize)
                return tooLarge;
            data.append(buffer, qsizetype(n));
        }
    };
    error = readAll();
    const Load result = error.isEmpty() ? Load::Read : Load::Failed;
    ::close(fd);
    if (result == Load::Failed) {
        data.clear();
        qCInfo(lcProfile) << "cannot read" << m_path << error;
    }
    return result;
}

std::optional<QHash<QString, QString>> ProfileFile::readSection(const QString &section,
                                                                QString *error) const
{
    QByteArray data;
    QString reason;
    const Load loaded = load(data, reason);
    if (error)
        *error = reason;
    if (loaded != Load::Read)
        return std::nullopt;
    std::optional<QHash<QString, QString>> keys;
    bool inSection = false;
    for (const QByteArray &line : data.split('\n')) {
        if (const auto name = sectionOf(line)) {
            inSection = sameName(*name, section);
            if (inSection && !keys)
                keys.emplace();
            continue;
        }
        if (!inSection)
            continue;
        if (const auto key = keyOf(line)) {
            const QString name = QString::fromUtf8(*key).toLower();
            if (!keys->contains(name)) {
                const QByteArrayView text = content(line);
                keys->insert(name, valueOf(text.sliced(text.indexOf('=') + 1)));
            }
        }
    }
    return keys;
}

std::optional<QString> ProfileFile::readString(const QString &section, const QString &key) const
{
    const auto keys = readSection(section);
    if (!keys)
        return std::nullopt;
    const auto value = keys->constFind(key.toLower());
    return value == keys->cend() ? std::nullopt : std::optional<QString>(*value);
}

bool ProfileFile::writeStrings(const QString &section, const QList<QPair<QString, QString>> &values,
                               QString *error) const
{
    QString reason;
    auto fail = [&](const QString &why) {
        qCInfo(lcProfile) << "cannot write" << m_path << why;
        if (error)
            *error = why;
        return false;
    };
    // A line of the file holds one value: a line break in one would make keys of its text.
    for (const auto &[key, value] : values)
        if (value.contains(u'\n') || value.contains(u'\r') || key.contains(u'\n') ||
            key.contains(u'\r') || key.contains(u'='))
            return fail(QStringLiteral("a value cannot hold a line break"));
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return fail(QStringLiteral("cannot make its folder"));
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lock.tryLock(10000))
        return fail(lock.error() == QLockFile::LockFailedError
                        ? QStringLiteral("locked by another program")
                        : QStringLiteral("cannot make its lock file"));
    removeAbandonedCopies();

    QByteArray data;
    const Load loaded = load(data, reason);
    if (loaded == Load::Failed)
        return fail(reason);
    // The lines joined by "\n" give the file back byte for byte.
    QList<QByteArray> lines = data.split('\n');
    const bool endsWithNewline = lines.last().isEmpty();
    if (endsWithNewline)
        lines.removeLast();
    QList<bool> written(values.size(), false);

    // Replace the first line of each key in the first matching section; remember where the
    // section ends, to add the keys it does not have yet.
    qsizetype sectionEnd = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionOf(lines[i])) {
            if (inSection)
                break;
            inSection = sameName(*name, section);
            if (inSection)
                sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (!content(lines[i]).trimmed().isEmpty())
            sectionEnd = i + 1;
        const auto key = keyOf(lines[i]);
        if (!key)
            continue;
        const QString name = QString::fromUtf8(*key);
        for (qsizetype v = 0; v < values.size(); ++v) {
            if (!written[v] && sameName(name, values[v].first)) {
                const bool windowsLine = lines[i].endsWith('\r');
                const bool marked = lines[i].startsWith(byteOrderMark.toByteArray());
                lines[i] = key->toByteArray() + '=' + values[v].second.toUtf8();
                if (windowsLine)
                    lines[i] += '\r';
                if (marked)
                    lines[i].prepend(byteOrderMark.toByteArray());
                written[v] = true;
                break;
            }
        }
    }
    // New lines end as the file's first line does.
    const QByteArray lineEnd = !lines.isEmpty() && lines.first().endsWith('\r') ? "\r" : "";
    QList<QByteArray> missing;
    for (qsizetype v = 0; v < values.size(); ++v)
        if (!written[v])
            missing.append((values[v].first + u'=' + values[v].second).toUtf8() + lineEnd);
    if (sectionEnd < 0) {
        lines.append('[' + section.toUtf8() + ']' + lineEnd);
        lines += missing;
    } else {
        for (qsizetype k = 0; k < missing.size(); ++k)
            lines.insert(sectionEnd + k, missing[k]);
    }
    QByteArray text = lines.join('\n');
    if (endsWithNewline || sectionEnd < 0 || !missing.isEmpty())
        text += '\n';
    // The same values again (a run with the choices of the last) leave the file as it is:
    // nothing to write, and no wait for the disk.
    if (loaded == Load::Read && text == data)
        return true;
    if (!replace(text, reason))
        return fail(reason);
    return true;
}

QByteArray ProfileFile::targetPath() const
{
    // A settings file kept as a link to another file (in a folder of dotfiles, say) stays a
    // link: the file it leads to is the one replaced.
    const QByteArray path = QFile::encodeName(m_path);
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char *real = ::realpath(path.constData(), nullptr);
    if (!real)
        return path;
    const QByteArray target(real);
    std::free(real);
    return target;
}

void ProfileFile::removeAbandonedCopies() const
{
    // Copies "quillset.ini.XXXXXX" of a save that was killed before its rename. Only a save
    // writes them, and saves run under the lock held now: any there is abandoned.
    const QFileInfo target(QFile::decodeName(targetPath()));
    const QDir folder = target.absoluteDir();
    const QString prefix = target.fileName() + u'.';
    for (const QFileInfo &entry : folder.entryInfoList({prefix + QStringLiteral("??????")},
                                                       QDir::Files | QDir::Hidden | QDir::System)) {
        if (entry.isSymLink() || entry.fileName().endsWith(QStringLiteral(".lock")))
            continue;
        qCInfo(lcProfile) << "removing an abandoned copy" << entry.filePath();
        QFile::remove(entry.filePath());
    }
}

bool ProfileFile::replace(const QByteArray &data, QString &error) const
{
    const QByteArray path = targetPath();
    QByteArray temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        error = systemError(errno);
        return false;
    }
    auto abandon = [&](int reason) {
        error = systemError(reason);
        ::close(fd);
        ::unlink(temporary.constData());
        return false;
    };
    struct stat old {};
    const mode_t mode = ::stat(path.constData(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    if (::fchmod(fd, mode) != 0)
        return abandon(errno);
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return abandon(n < 0 ? errno : ENOSPC);
        done += n;
    }
    // Space is often only found to be missing when the data reaches the disk.
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        error = systemError(errno);
        ::unlink(temporary.constData());
        return false;
    }
    if (::rename(temporary.constData(), path.constData()) != 0) {
        error = systemError(errno);
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}
