#include "TestTree.h"

#include <QProcess>
#include <QTest>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TestTree::TestTree()
{
    QByteArray pattern =
        QByteArray(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/quillix-tree-XXXXXX";
    if (::mkdtemp(pattern.data()))
        m_root = pattern;
    ::chmod(m_root.constData(), 0755);
}

TestTree::~TestTree()
{
    if (m_root.isEmpty())
        return;
    const QString root = QString::fromLocal8Bit(m_root);
    QProcess::execute(QStringLiteral("chmod"),
                      {QStringLiteral("-R"), QStringLiteral("u+rwx"), root});
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), root});
}

void TestTree::folder(const QByteArray &relative, int mode)
{
    QVERIFY2(::mkdir(path(relative).constData(), mode) == 0, relative.constData());
    ::chmod(path(relative).constData(), mode);
}

void TestTree::file(const QByteArray &relative, qint64 size)
{
    const int fd = ::open(path(relative).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, relative.constData());
    QVERIFY(::ftruncate(fd, size) == 0);
    ::close(fd);
}

void TestTree::link(const QByteArray &target, const QByteArray &relative)
{
    QVERIFY2(::symlink(target.constData(), path(relative).constData()) == 0, relative.constData());
}

void TestTree::setMode(const QByteArray &relative, int mode)
{
    QVERIFY(::chmod(path(relative).constData(), mode) == 0);
}

void TestTree::deepChain(const QByteArray &relative, int depth, const QByteArray &fileName)
{
    int fd = ::open(path(relative).constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(fd >= 0);
    for (int level = 0; level < depth; ++level) {
        QVERIFY(::mkdirat(fd, "d", 0755) == 0);
        const int child = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        QVERIFY(child >= 0);
        fd = child;
    }
    const int file = ::openat(fd, fileName.constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(file >= 0);
    ::close(file);
    ::close(fd);
}
