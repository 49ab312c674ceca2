#include <cerrno>

#include "platform/error_text.h"

namespace vozo::platform {

// The texts of the GNU C library, which the Linux build shows: a message
// reads the same on every host. The Windows C library words some of them
// differently.
std::string errorText(int error) {
  switch (error) {
    case ENOENT:
      return "No such file or directory";
    case EACCES:
      return "Permission denied";
    case EEXIST:
      return "File exists";
    case EISDIR:
      return "Is a directory";
    case ENOTDIR:
      return "Not a directory";
    case ENOSPC:
      return "No space left on device";
    case EINVAL:
      return "Invalid argument";
    case EIO:
      return "Input/output error";
    case ELOOP:
      return "Too many levels of symbolic links";
    case ENAMETOOLONG:
      return "File name too long";
    case EROFS:
      return "Read-only file system";
    case EBUSY:
      return "Device or resource busy";
    case EMFILE:
      return "Too many open files";
    case ENOMEM:
      return "Cannot allocate memory";
    case EPIPE:
      return "Broken pipe";
    case EXDEV:
      return "Invalid cross-device link";
    case ENOTEMPTY:
      return "Directory not empty";
    case EFBIG:
      return "File too large";
    case EAGAIN:
      return "Resource temporarily unavailable";
    case EBADF:
      return "Bad file descriptor";
    case EPERM:
      return "Operation not permitted";
    default:
      return "Unknown error " + std::to_string(error);
  }
}

}  // namespace vozo::platform
