#include "SkipPatterns.h"

#include <QFile>
#include <QRegularExpression>

#include <fnmatch.h>

#include <cstring>

SkipPatterns::SkipPatterns(const QStringList &patterns)
{
    for (const QString &pattern : patterns) {
        const QByteArray bytes = QFile::encodeName(pattern);
        // A slash could never match a name; an empty pattern would match nothing either.
        if (bytes.isEmpty() || bytes.contains('/') || bytes.contains('\0'))
            continue;
        const bool wild = bytes.contains('*') || bytes.contains('?') || bytes.contains('[');
        (wild ? m_wild : m_exact).push_back(bytes);
    }
}

bool SkipPatterns::matches(const char *name) const
{
    for (const QByteArray &exact : m_exact)
        if (std::strcmp(exact.constData(), name) == 0)
            return true;
    for (const QByteArray &wild : m_wild)
        if (::fnmatch(wild.constData(), name, FNM_PERIOD) == 0)
            return true;
    return false;
}

QStringList SkipPatterns::split(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}
