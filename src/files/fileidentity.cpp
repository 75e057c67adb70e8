#include "files/fileidentity.h"

#include <acl/libacl.h>
#include <attr/libattr.h>

#include <unistd.h>

namespace files
{

bool copyFileIdentity(int oldFd, const char *oldPath, const struct stat &old, int newFd,
                      const char *newPath)
{
    // Attributes first, while the new file is still this user's and writable; the default check
    // leaves out the ACL attributes, which perm_copy_fd sets below.
    if (attr_copy_fd(oldPath, oldFd, newPath, newFd, nullptr, nullptr) != 0)
        return false;
    struct stat now {
    };
    if (::fstat(newFd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(newFd, old.st_uid, old.st_gid) != 0)
        return false;
    // The mode first (the set-id and sticky bits an ACL does not carry), then the ACL, which
    // keeps the group bits as its mask rather than widening them.
    if (::fchmod(newFd, old.st_mode & 07777) != 0)
        return false;
    return perm_copy_fd(oldPath, oldFd, newPath, newFd, nullptr) == 0;
}

} // namespace files
