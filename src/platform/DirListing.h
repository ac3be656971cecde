#pragma once

#include "DirEntry.h"

// The mount a drive's walk stays on. Directories of any other mount, bind mounts of the same
// file system included, are marked system and so never entered.
struct MountIdentity {
    quint64 mountId = 0;
    bool hasMountId = false; // kernels before 5.8 report no mount id; the device decides then
    quint64 device = 0;
};

namespace DirListing {

// The mount of an open directory; false when it cannot be examined (errno says why).
bool identifyMount(int directoryFd, MountIdentity &mount);

// Describes the entry name of the open directory directoryFd with one statx call, without
// following a symbolic link; an empty name describes directoryFd itself. False when the entry
// cannot be examined, for example because it vanished since it was listed (errno says why); entry
// is then unchanged.
bool describeEntry(int directoryFd, const char *name, const MountIdentity &driveMount,
                   DirEntry &entry);

} // namespace DirListing
