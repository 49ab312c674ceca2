#pragma once
// The checks of the loaded documents behind -warnings and -strict. The
// elements of a document are checked while it loads, each right after its
// addresses are evaluated (a register map's tree is then still in cache);
// the files, the preprocessor's messages and the layout once both documents
// are loaded.

#include <map>
#include <memory>
#include <string>

#include "check/check_context.h"
#include "check/finding.h"
#include "check/left_out_checks.h"
#include "linkscript/run_settings.h"
#include "memory/memory_map.h"

namespace vozo {

class InputChecks {
 public:
  // `symbols` and `settings` must outlive the checks.
  InputChecks(const std::map<std::string, std::string>& symbols, const RunSettings& settings,
              bool segger);
  ~InputChecks();

  // Checks each element of `document` as its next load evaluates it. The
  // document must not load after the checks are gone.
  void checkWhileLoading(MemoryMap& document, bool isPlacement);

  // Adds every finding to `findings`, unsorted: for each document (the
  // section placement when not null) its preprocessor messages, the
  // findings about its command-line macros and its elements' findings (a
  // document not checked while loading is walked now), then those of the
  // layout.
  void finish(const MemoryMap& memoryMap, const MemoryMap* sectionPlacement, Findings& findings);

 private:
  // The element findings of one document, with the context that made them.
  struct ElementFindings {
    Findings findings;
    std::unique_ptr<CheckContext> context;
    std::unique_ptr<LeftOutRegisterChecks> leftOutChecks;
    bool checked = false;
  };
  ElementFindings& elementFindings(bool isPlacement);
  void addDocument(CheckContext& context, const MemoryMap& document, bool isPlacement);

  const std::map<std::string, std::string>& symbols_;
  const RunSettings& settings_;
  bool segger_;
  ElementFindings memoryMap_, sectionPlacement_;
};

}  // namespace vozo
