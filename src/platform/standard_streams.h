#pragma once
// The standard streams as vozo writes them.

namespace vozo::platform {

// Puts standard input, output and error into binary mode, so that the bytes
// written are the bytes that arrive: on Windows a text-mode stream would turn
// each "\n" into "\r\n". Nothing to do on POSIX hosts.
void useBinaryStandardStreams();

}  // namespace vozo::platform
