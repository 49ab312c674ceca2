#pragma once
// The loaders and writers that one run calls, behind one interface so that
// the run sequence can be exercised on its own.

#include <memory>
#include <string>
#include <vector>

#include "check/finding.h"
#include "check/input_check.h"
#include "linkscript/run_settings.h"
#include "memory/memory_map.h"
#include "vozo/run_values.h"
#include "xml/macro_table.h"

namespace vozo {

class RunSteps {
 public:
  virtual ~RunSteps() = default;

  // Loads the memory map document from a file (the path is expanded with the
  // built-in macros, the file is preprocessed with `macroDefinitions`).
  // False when the file cannot be read or processed.
  virtual bool loadMemoryMapFile(const std::string& path, const std::string& macroDefinitions) = 0;

  // Loads the memory map document from the XML text of a segment list.
  virtual void loadMemoryMapText(const std::string& text) = 0;

  // Loads the section placement document from a file, as for the memory map.
  virtual bool loadSectionPlacementFile(const std::string& path,
                                        const std::string& macroDefinitions) = 0;

  // Write the output file. `withSectionPlacement` tells whether the section
  // placement document was loaded and takes part. A failure ends the run: it
  // is thrown, as the writers below throw it, to runTool.
  virtual void writeGnuLdScript(const std::string& outputPath, const RunValues& values,
                                const RunSettings& settings, bool withSectionPlacement) = 0;
  virtual void writeSeggerScript(const std::string& outputPath, const RunValues& values,
                                 const RunSettings& settings, bool withSectionPlacement) = 0;

  // The input checks (-warnings, -strict): started before the documents
  // load, so that each element is checked as it loads, and finished with the
  // checks of the loaded documents as a whole.
  virtual void startChecks(const RunValues& values, const RunSettings& settings) {
    static_cast<void>(values), static_cast<void>(settings);
  }
  virtual void checkDocuments(const RunValues& values, const RunSettings& settings,
                              bool withSectionPlacement, Findings& findings) {
    static_cast<void>(values), static_cast<void>(settings);
    static_cast<void>(withSectionPlacement), static_cast<void>(findings);
  }
  // Why the file at `path` did not load: the section placement file when
  // `sectionPlacement`, else the memory map file.
  virtual void explainLoadFailure(bool sectionPlacement, const std::string& path,
                                  Findings& findings) {
    static_cast<void>(sectionPlacement), static_cast<void>(path), static_cast<void>(findings);
  }

  // The system's error number when the file of the failed load of the
  // section placement (`sectionPlacement`) or memory map document could not
  // be opened or read; 0 when it was read (and did not parse).
  virtual int readFailure(bool sectionPlacement) const {
    static_cast<void>(sectionPlacement);
    return 0;
  }

  // The input files read so far, each path as opened: the memory map's,
  // then the section placement's.
  virtual std::vector<std::string> openedFiles() const { return {}; }
};

// The steps of the tool itself. It owns the two documents of the run, both
// bound to the macro table, loads them, checks them and hands them to the
// writer.
class ToolRunSteps : public RunSteps {
 public:
  explicit ToolRunSteps(const MacroTable& macroTable)
      : memoryMap_(macroTable), sectionPlacement_(macroTable) {}

  bool loadMemoryMapFile(const std::string& path, const std::string& macroDefinitions) override;
  void loadMemoryMapText(const std::string& text) override;
  bool loadSectionPlacementFile(const std::string& path,
                                const std::string& macroDefinitions) override;
  void writeGnuLdScript(const std::string& outputPath, const RunValues& values,
                        const RunSettings& settings, bool withSectionPlacement) override;
  void writeSeggerScript(const std::string& outputPath, const RunValues& values,
                         const RunSettings& settings, bool withSectionPlacement) override;
  void startChecks(const RunValues& values, const RunSettings& settings) override;
  void checkDocuments(const RunValues& values, const RunSettings& settings,
                      bool withSectionPlacement, Findings& findings) override;
  void explainLoadFailure(bool sectionPlacement, const std::string& path,
                          Findings& findings) override;
  int readFailure(bool sectionPlacement) const override;
  std::vector<std::string> openedFiles() const override;

 private:
  // Declared first, so that the documents, whose loads call into the checks,
  // go before them.
  std::unique_ptr<InputChecks> checks_;
  MemoryMap memoryMap_;
  MemoryMap sectionPlacement_;
};

}  // namespace vozo
