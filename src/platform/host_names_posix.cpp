#include "platform/host_names.h"

namespace vozo::platform {

// The values every POSIX build of vozo has always given, whatever the
// processor: input files test them, so they stay.
HostNames hostNames() {
  return {"arm64", "arm", "linux", "", ".so", ".so_arm64"};
}

}  // namespace vozo::platform
