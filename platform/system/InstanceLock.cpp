// InstanceLock: the single-instance lock on a file.
#include "platform/system/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::unique_ptr<InstanceLock> InstanceLock::Acquire(const std::filesystem::path& file)
{
    const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<InstanceLock>(new InstanceLock(fd));
}

InstanceLock::~InstanceLock()
{
    close(fd_); // closing the only descriptor of the open file releases its lock
}
