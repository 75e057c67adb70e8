#pragma once

#include <sys/stat.h>

namespace files
{

// Gives the new file open as newFd what makes the old file (open as oldFd, described by old) the
// file its users know: the extended attributes, the owner and group, the permission bits and the
// access control list. False when any of it cannot be reproduced (an owner this user may not
// give away, an attribute or ACL the system refuses); the new file must then not take the old
// one's place.
// The paths only name the files in the libraries' messages.
bool copyFileIdentity(int oldFd, const char *oldPath, const struct stat &old, int newFd,
                      const char *newPath);

} // namespace files
