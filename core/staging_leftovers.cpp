#include "core/staging_leftovers.h"

#include "core/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

namespace grelm {

namespace {
constexpr std::time_t kLeftoverAgeSeconds = 60 * 60;

// Lists and removes through `fd`, an open folder that this call closes.
int removeLeftoversIn(int fd, const FileTime &changedBefore)
{
    if (fd < 0)
        return 0;
    DIR *listing = ::fdopendir(fd);
    if (listing == nullptr) {
        ::close(fd);
        return 0;
    }
    int removed = 0;
    while (const dirent *entry = ::readdir(listing)) {
        if (!isStagingName(QByteArray(entry->d_name)))
            continue;
        struct stat info {};
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)
            && earlier(info.st_ctim, changedBefore) && ::unlinkat(fd, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(listing); // closes fd too
    return removed;
}

} // namespace

int removeStagingLeftovers(const FilePath &folder, const FileTime &changedBefore)
{
    return removeLeftoversIn(::open(folder.data(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), changedBefore);
}

int removeStagingLeftovers(const HeldFolder &folder, const FileTime &changedBefore)
{
    // A listing of its own: reading moves the descriptor's position.
    return removeLeftoversIn(::openat(folder.descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC), changedBefore);
}

FileTime stagingLeftoverCutoff()
{
    FileTime now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    now.tv_sec -= kLeftoverAgeSeconds;
    return now;
}

} // namespace grelm
