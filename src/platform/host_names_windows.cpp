#include "platform/host_names.h"

namespace vozo::platform {

// The Windows build is made for x86-64 only.
HostNames hostNames() {
  return {"x64", "intel", "win", ".exe", ".dll", ".dll"};
}

}  // namespace vozo::platform
