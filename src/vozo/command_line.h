#pragma once
// Reading the command line into the run settings and the per-run values.
//
// Options may appear anywhere; names are matched exactly against the whole
// argument (no abbreviations, no "--", no name=value form). An option with a
// value takes the next argument whatever it looks like. Any other argument
// starting with "-" is an unknown option; every remaining argument, an empty
// one included, is positional.

#include "linkscript/run_settings.h"
#include "vozo/argument_reader.h"
#include "vozo/run_values.h"

namespace vozo {

// Reads every argument of `reader`. Throws HException for a missing option
// value, an unknown option, an unknown target name, a bad symbol
// definition, or an -entry that is no symbol name or, like -lld-compatible,
// comes with -segger.
void readCommandLine(ArgumentReader& reader, RunSettings& settings, RunValues& values);

// True when the run cannot go on and the usage text is due: neither a memory
// map file nor a segment list was given, or there is not exactly one
// positional argument (the output path).
bool needsUsage(const RunValues& values);

}  // namespace vozo
