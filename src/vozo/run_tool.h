#pragma once
// The run sequence of the tool: command line, inputs, output, and the one
// place where failures are reported.

#include <cstdio>
#include <string>
#include <vector>

#include "linkscript/run_settings.h"
#include "vozo/run_steps.h"

namespace vozo {

// Runs the tool on `arguments` (without the program path) and returns the
// exit status.
//
//  0. Points `settings.progress` at `out` and `settings.warnings` at `err`:
//     every progress line and warning of the run goes to these two streams.
//  1. Reads the command line into `settings` and the per-run values.
//  2. Writes the usage text to `err` and returns 1 when no memory map is
//     given or there is not exactly one output path.
//  3. With -verbose writes "Using memory map file <path>\n" to `out`, then
//     loads the memory map: from the file when one is given (the segment list
//     is then ignored), else from the segment list converted to XML text.
//  4. When a section placement file is given: with -verbose writes "Using
//     section placement file <path>\n", then loads it.
//  5. Calls the SEGGER writer with -segger, else the GNU ld writer.
//  6. With -dependency-file writes the dependency file of the files read
//     (made before step 5, so that a name it cannot hold fails the run first).
//
// With --help or --version the help or version text goes to `out`
// instead, and the status is 0.
//
// Every failure ends the run here with "error: <message>\n" on `err` and
// status 1. A failure that ends the run is thrown as HException, from
// wherever it is found, and caught only here; running out of memory
// (std::bad_alloc) is reported as "out of memory". When the failure comes
// after the command line was read, a file left at the output path (cleaned
// lexically) is removed, so no stale or half-written script survives a
// failed run.
int runTool(std::vector<std::string> arguments, RunSteps& steps, RunSettings& settings,
            std::FILE* out, std::FILE* err);

}  // namespace vozo
