#pragma once

#include <QByteArray>
#include <QString>

// A folder tree made for one test in a fresh temporary folder and removed with it, however
// deep it grew or whatever permissions it was given. Paths are relative to the root and are
// bytes, so names need not be UTF-8.
class TestTree {
public:
    TestTree();
    ~TestTree();
    TestTree(const TestTree &) = delete;
    TestTree &operator=(const TestTree &) = delete;

    QByteArray root() const { return m_root; }
    QByteArray path(const QByteArray &relative) const { return m_root + '/' + relative; }

    void folder(const QByteArray &relative, int mode = 0755);
    void file(const QByteArray &relative, qint64 size = 0);
    void link(const QByteArray &target, const QByteArray &relative);
    void setMode(const QByteArray &relative, int mode);
    // A chain of depth folders named "d" below relative, made without long paths.
    void deepChain(const QByteArray &relative, int depth, const QByteArray &fileName);
    // The space the tree takes on disk as du -sxB1 counts it: every object's allocated blocks,
    // each object once however many names it has, the root's file system only.
    qint64 allocatedBytes() const;

private:
    QByteArray m_root;
};
