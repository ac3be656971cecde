#pragma once

#include <functional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

// What a body returns when it could not set up its mounts: the test is skipped, not failed.
constexpr int mountsUnavailable = 2;

// Runs body in a child process with a mount namespace of its own (needs root), so that what it
// mounts is gone with the child. Returns what body returns (0: passed), mountsUnavailable when
// the namespace could not be made, -1 when the child did not end normally.
inline int inPrivateMountNamespace(const std::function<int()> &body)
{
#if defined(__SANITIZE_THREAD__)
    // A child that walks starts threads, which ThreadSanitizer cannot follow after a fork.
    return mountsUnavailable;
#endif
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(mountsUnavailable);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
