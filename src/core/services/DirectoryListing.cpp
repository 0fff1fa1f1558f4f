#include "DirectoryListing.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace plenvo {

long DirectoryListing::read(int fd)
{
    return syscall(SYS_getdents64, fd, m_buffer.data(), m_buffer.size());
}

} // namespace plenvo
