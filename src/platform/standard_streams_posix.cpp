#include "platform/standard_streams.h"

namespace vozo::platform {

void useBinaryStandardStreams() {}

}  // namespace vozo::platform
