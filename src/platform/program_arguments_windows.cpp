#include "platform/program_arguments.h"
#include "platform/windows_system.h"

// After windows.h, which it needs.
#include <shellapi.h>

namespace vozo::platform {

std::vector<std::string> programArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  if (wide == nullptr) {
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
  }
  for (int i = 1; i < count; ++i) arguments.push_back(utf8Text(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace vozo::platform
