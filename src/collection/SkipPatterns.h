#pragma once

#include <QByteArray>
#include <QStringList>

#include <vector>

// The folders a run leaves out by name: patterns as the shell's ("node_modules", ".cache",
// "*.tmp"; * ? and [...]), matched against a folder's own name, never its path, by fnmatch(3)
// (no shell is involved). A pattern without wildcards is an exact name.
class SkipPatterns {
public:
    SkipPatterns() = default;
    explicit SkipPatterns(const QStringList &patterns);

    bool isEmpty() const { return m_exact.empty() && m_wild.empty(); }
    bool matches(const char *name) const;

    // Patterns as the user typed them, separated by blanks or semicolons; empty ones dropped.
    static QStringList split(const QString &text);

private:
    std::vector<QByteArray> m_exact;
    std::vector<QByteArray> m_wild;
};
