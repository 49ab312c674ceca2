#pragma once
// The switches of one run that the layout code reads: written while the
// command line is read, read-only afterwards.
//
// The command line fills it; the writers below the tool read it.

#include <cstdint>
#include <cstdio>
#include <string>

namespace vozo {

// Target family numbers of `-target`.
inline constexpr int32_t kTargetIdArm = 8;
inline constexpr int32_t kTargetIdRiscv = 20;

struct RunSettings {
  bool verbose = false;             // -verbose: progress messages on `progress`
  bool noCtors = false;             // -no-ctors
  bool noDtors = false;             // -no-dtors
  bool missingRunInIsError = true;  // -disable-missing-runin-error clears it
  int32_t targetId = kTargetIdArm;  // -target arm | riscv
  // -entry: the program's entry point, written first into the script as
  // ENTRY(name); empty for none.
  std::string entrySymbol;
  // The run's streams: progress lines go to `progress`, warnings to
  // `warnings` (the tool's standard output and standard error; null for
  // none).
  std::FILE* progress = stdout;
  std::FILE* warnings = stderr;
};

}  // namespace vozo
