#include "size_command_line.h"

#include <stdexcept>

namespace vozo::size {

const char* const kSizeVersion = "vozo-size " VOZO_VERSION "\n";

const char* const kSizeUsage =
    "Usage: vozo-size [options] <firmware.elf>\n"
    "Reports how full each memory segment of a firmware linked with a vozo script is.\n"
    "\n"
    "  -sections                    list each section under its segment\n"
    "  -json                        write the report as JSON instead of the table\n"
    "  -svg <file>                  also draw the memory map as an SVG picture\n"
    "  -budget <segment>=<percent>  fail when the segment uses more than <percent>\n"
    "                               of its size (RAM=80 or RAM=80%); repeatable\n"
    "  --help                       print this text and exit\n"
    "  --version                    print the version and exit\n"
    "\n"
    "Exit status: 0 when every segment fits, 1 when a segment overflows or exceeds\n"
    "its budget, 2 when the file cannot be read or has no vozo symbols.\n";

SizeOptions parseSizeOptions(const std::vector<std::string>& arguments) {
  SizeOptions options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    auto valueOf = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw std::invalid_argument(argument + " needs a value");
      return arguments[++i];
    };
    if (argument == "-sections") {
      options.sections = true;
    } else if (argument == "-json") {
      options.json = true;
    } else if (argument == "-svg") {
      options.svgPath = valueOf();
    } else if (argument == "-budget") {
      options.budgets.push_back(parseBudget(valueOf()));
    } else if (argument == "-help" || argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument.size() > 1 && argument.front() == '-') {
      throw std::invalid_argument("unknown option " + argument);
    } else if (!options.elfPath.empty()) {
      throw std::invalid_argument("more than one ELF file given: " + options.elfPath + " and " +
                                  argument);
    } else {
      options.elfPath = argument;
    }
  }
  if (options.elfPath.empty() && !options.help && !options.version) {
    throw std::invalid_argument("no ELF file given");
  }
  return options;
}

}  // namespace vozo::size
