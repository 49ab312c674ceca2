#include "vozo/help_text.h"

#include <string_view>

#include "vozo/usage_text.h"
#include "vozo/version.h"

namespace vozo {
namespace {

// Laid out like the option list of the usage text.
constexpr std::string_view kFurtherOptions =
    "\n"
    "Further options:\n"
    "\n"
    "  -entry <symbol>                     Start the program at <symbol> (ENTRY in the ld script)\n"
    "  -lld-compatible                     Write an ld script that lld takes too, laid out alike\n"
    "  -warnings                           Report doubtful input as warnings on standard error\n"
    "  -strict                             Report doubtful input as errors and write no script\n"
    "  -dependency-file <file>             Write a make-format dependency file of the files read\n"
    "  -segger                             Write a SEGGER linker script instead of an ld script\n"
    "  -target arm|riscv                   Target family (default arm)\n"
    "  --help                              Print this help and exit\n"
    "  --version                           Print the version and exit\n";

}  // namespace

std::string helpText() {
  return usageText().append(kFurtherOptions);
}

std::string versionText() {
  return std::string("vozo ") + VOZO_VERSION + "\n";
}

}  // namespace vozo
