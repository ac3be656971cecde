#include "TestTree.h"

#include <QTest>

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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
    // Removed here rather than by a child process (which a ThreadSanitizer run cannot follow),
    // however deep, locked or oddly named: every folder met is moved up into the root before it
    // is emptied, so no more than two folders are ever open at once.
    const int root = ::open(m_root.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0)
        return;
    std::vector<QByteArray> folders{"."};
    int moved = 0;
    while (!folders.empty()) {
        const QByteArray name = folders.back();
        folders.pop_back();
        ::fchmodat(root, name.constData(), 0700, 0);
        const int fd = ::openat(root, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
        DIR *listing = fd >= 0 ? ::fdopendir(fd) : nullptr;
        std::vector<QByteArray> entries;
        while (listing)
            if (const dirent *entry = ::readdir(listing))
                entries.emplace_back(entry->d_name);
            else
                break;
        for (const QByteArray &entry : entries) {
            if (entry == "." || entry == "..")
                continue;
            struct stat st {};
            if (::fstatat(fd, entry.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISDIR(st.st_mode)) {
                const QByteArray up = ".removing-" + QByteArray::number(++moved);
                if (::renameat(fd, entry.constData(), root, up.constData()) == 0)
                    folders.push_back(up);
            } else {
                ::unlinkat(fd, entry.constData(), 0);
            }
        }
        if (listing)
            ::closedir(listing);
        else if (fd >= 0)
            ::close(fd);
        if (name != ".")
            ::unlinkat(root, name.constData(), AT_REMOVEDIR);
    }
    ::close(root);
    ::rmdir(m_root.constData());
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

namespace {

std::set<std::pair<dev_t, ino_t>> *counted = nullptr;
qint64 countedBytes = 0;

int countObject(const char *, const struct stat *info, int, FTW *)
{
    if (counted->insert({info->st_dev, info->st_ino}).second)
        countedBytes += qint64(info->st_blocks) * 512;
    return 0;
}

} // namespace

qint64 TestTree::allocatedBytes() const
{
    std::set<std::pair<dev_t, ino_t>> seen;
    counted = &seen;
    countedBytes = 0;
    ::nftw(m_root.constData(), countObject, 16, FTW_PHYS | FTW_MOUNT);
    counted = nullptr;
    return countedBytes;
}
