// The least a walk that examines every entry of a tree costs on this machine: each folder
// opened and listed (getdents64), one statx per entry with the fields a run reads, on every
// core, and nothing counted but files and bytes. No tables, no lists, no time zone: the floor
// the walker is measured against, never a walker of the program.
//   walk_floor FOLDER [THREADS]     (prints the files and bytes it met)
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr unsigned fields = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME |
                            STATX_BTIME | STATX_BLOCKS | STATX_NLINK | STATX_INO;

struct Totals {
    long long files = 0;
    long long bytes = 0;
};

// An open folder, closed when the last task that needs it is done; folders are opened by name
// in their parent, so that a tree of any depth is walked without a path.
class Folder {
public:
    explicit Folder(int fd) : m_fd(fd) {}
    ~Folder()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};
using FolderRef = std::shared_ptr<Folder>;

// An entry by its name in an open folder.
struct Entry {
    FolderRef parent; // none: name is a path
    std::string name;
};

// Folders to list, or entries to examine: a slice of a long listing another worker made.
struct Task {
    bool examine = false;
    std::vector<Entry> entries;
};

// Tasks waiting for a worker; a worker that runs dry takes one, and one with work to spare (a
// folder below, or half a long listing) gives it away while another waits.
class Tasks {
public:
    explicit Tasks(int workers) : m_workers(workers) {}

    bool take(Task &task)
    {
        std::unique_lock lock(m_mutex);
        ++m_waiting;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_queue.empty() || m_waiting == m_workers; });
        if (m_queue.empty())
            return false; // everybody waits: the walk is over
        --m_waiting;
        task = std::move(m_queue.back());
        m_queue.pop_back();
        return true;
    }
    void give(Task task)
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(task));
        m_changed.notify_one();
    }
    // A hint, read without the lock.
    bool wanted() const { return m_waiting.load(std::memory_order_relaxed) > 0; }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Task> m_queue;
    const int m_workers;
    std::atomic<int> m_waiting{0};
};

class Worker {
public:
    Worker(Tasks &tasks, Totals &totals) : m_tasks(tasks), m_totals(totals) {}

    void run()
    {
        Task task;
        while (m_tasks.take(task)) {
            for (Entry &entry : task.entries) {
                if (task.examine)
                    examine(entry.parent, entry.name.c_str());
                else
                    m_stack.push_back(std::move(entry));
            }
            while (!m_stack.empty()) {
                const Entry next = std::move(m_stack.back());
                m_stack.pop_back();
                list(next);
                shareFolders();
            }
        }
    }

private:
    // The older half of the folders waiting, in one task, to a worker that waits.
    void shareFolders()
    {
        if (m_stack.size() < 2 || !m_tasks.wanted())
            return;
        const auto half = m_stack.begin() + long(m_stack.size() / 2);
        m_tasks.give(Task{false, std::vector<Entry>(std::make_move_iterator(m_stack.begin()),
                                                    std::make_move_iterator(half))});
        m_stack.erase(m_stack.begin(), half);
    }

    void examine(const FolderRef &folder, const char *name)
    {
        struct statx sx {};
        if (::statx(folder->fd(), name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, fields, &sx) != 0)
            return;
        if (S_ISDIR(sx.stx_mode)) {
            m_stack.push_back(Entry{folder, name});
        } else {
            ++m_totals.files;
            m_totals.bytes += static_cast<long long>(sx.stx_size);
        }
    }

    void list(const Entry &entry)
    {
        const int at = entry.parent ? entry.parent->fd() : AT_FDCWD;
        const auto folder = std::make_shared<Folder>(
            ::openat(at, entry.name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder->fd() < 0)
            return;
        for (;;) {
            const long length = ::syscall(SYS_getdents64, folder->fd(), m_chunk, sizeof m_chunk);
            if (length <= 0)
                break;
            std::vector<const char *> names;
            for (long offset = 0; offset < length;) {
                const auto *dirent = reinterpret_cast<const dirent64 *>(m_chunk + offset);
                offset += dirent->d_reclen;
                const char *name = dirent->d_name;
                if (name[0] != '.' || (name[1] != '\0' && (name[1] != '.' || name[2] != '\0')))
                    names.push_back(name);
            }
            size_t mine = names.size();
            if (names.size() >= 128 && m_tasks.wanted()) {
                mine = names.size() / 2;
                Task slice{true, {}};
                for (size_t i = mine; i < names.size(); ++i)
                    slice.entries.push_back(Entry{folder, names[i]});
                m_tasks.give(std::move(slice));
            }
            for (size_t i = 0; i < mine; ++i)
                examine(folder, names[i]);
        }
    }

    Tasks &m_tasks;
    Totals &m_totals;
    std::vector<Entry> m_stack;
    alignas(8) char m_chunk[64 * 1024];
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: walk_floor FOLDER [THREADS]\n");
        return 2;
    }
    const int threads = argc > 2 ? std::max(1, std::atoi(argv[2]))
                                 : int(std::max(1u, std::thread::hardware_concurrency()));
    Tasks tasks(threads);
    tasks.give(Task{false, {Entry{nullptr, argv[1]}}});
    std::vector<Totals> totals(static_cast<size_t>(threads));
    std::vector<std::unique_ptr<Worker>> workers;
    std::vector<std::thread> running;
    for (size_t i = 0; i < size_t(threads); ++i) {
        workers.push_back(std::make_unique<Worker>(tasks, totals[i]));
        running.emplace_back(&Worker::run, workers.back().get());
    }
    Totals all;
    for (size_t i = 0; i < size_t(threads); ++i) {
        running[i].join();
        all.files += totals[i].files;
        all.bytes += totals[i].bytes;
    }
    std::printf("%lld files, %lld bytes\n", all.files, all.bytes);
    return 0;
}
