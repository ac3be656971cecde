// Builds a synthetic folder tree for the walk benchmark. The shape "wide" (the default): about
// 25 files a folder in FILES / 25 + 1 folders ten wide and as deep as their number needs, a
// realistic mix of extensions, sizes (sparse, so the tree costs little disk) and time stamps.
// "large": FILES files in one folder. "empty": FILES empty folders in one folder. "chain": a
// chain of FILES folders, one file in each.
//   make_tree ROOT [FILES] [SEED] [wide|large|empty|chain]
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char *const extensions[] = {".txt", ".c",    ".h",   ".cpp", ".jpg", ".png", ".html",
                                  ".js",  ".so",   ".o",   ".py",  ".doc", ".pdf", ".gz",
                                  ".xml", ".json", ".mp3", "",     ".md",  ".conf"};

bool makeFolder(const std::string &path)
{
    if (::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST)
        return true;
    std::fprintf(stderr, "make_tree: cannot create %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_tree ROOT [FILES] [SEED]\n");
        return 2;
    }
    const std::string root = argv[1];
    const long files = argc > 2 ? std::atol(argv[2]) : 200000;
    std::mt19937_64 random(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
    const std::string shape = argc > 4 ? argv[4] : "wide";
    if (!makeFolder(root))
        return 1;
    auto makeFile = [](const std::string &path) {
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        return fd >= 0 && ::close(fd) == 0;
    };
    if (shape == "chain") {
        // Deeper than a path may be long: made level by level from the folder above.
        if (::chdir(root.c_str()) != 0)
            return 1;
        for (long i = 0; i < files; ++i)
            if ((::mkdir("d", 0755) != 0 && errno != EEXIST) || ::chdir("d") != 0 ||
                !makeFile("f.txt")) {
                std::fprintf(stderr, "make_tree: cannot fill %s: %s\n", root.c_str(),
                             std::strerror(errno));
                return 1;
            }
        std::printf("%ld folders in a chain under %s, a file in each\n", files, root.c_str());
        return 0;
    }
    if (shape == "large" || shape == "empty") {
        for (long i = 0; i < files; ++i) {
            const std::string name = "/f" + std::to_string(i);
            if (!(shape == "large" ? makeFile(root + name + ".txt") : makeFolder(root + name))) {
                std::fprintf(stderr, "make_tree: cannot fill %s: %s\n", root.c_str(),
                             std::strerror(errno));
                return 1;
            }
        }
        std::printf("%ld %s under %s\n", files,
                    shape == "large" ? "files in one folder" : "empty folders in one folder",
                    root.c_str());
        return 0;
    }

    // About 25 files a folder; folders ten wide, each folder's path the digits of its number
    // from the last, so that the folders asked for are the folders made.
    const long folderCount = files / 25 + 1;
    std::vector<std::string> folders;
    folders.reserve(size_t(folderCount));
    for (long i = 0; i < folderCount; ++i) {
        std::string path = root;
        long rest = i;
        for (int level = 0; level == 0 || rest > 0; ++level) {
            path += "/d" + std::to_string(rest % 10);
            rest /= 10;
            if (!makeFolder(path))
                return 1;
        }
        folders.push_back(path);
    }

    std::lognormal_distribution<double> sizes(8.5, 2.5);
    const time_t now = ::time(nullptr);
    for (long i = 0; i < files; ++i) {
        const std::string &folder = folders[size_t(i) % folders.size()];
        const char *extension = extensions[random() % (sizeof extensions / sizeof *extensions)];
        const std::string path = folder + "/f" + std::to_string(i) + extension;
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd < 0) {
            std::fprintf(stderr, "make_tree: cannot create %s: %s\n", path.c_str(),
                         std::strerror(errno));
            return 1;
        }
        const off_t size = off_t(std::min(sizes(random), 4e9));
        const timespec times[2] = {{now - time_t(random() % (86400L * 30)), 0},
                                   {now - time_t(random() % (86400L * 365 * 6)), 0}};
        const bool ok = ::ftruncate(fd, size) == 0 && ::futimens(fd, times) == 0;
        ::close(fd);
        if (!ok) {
            std::fprintf(stderr, "make_tree: cannot fill %s: %s\n", path.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }
    std::printf("%ld files in %ld folders under %s\n", files, folderCount, root.c_str());
    return 0;
}
