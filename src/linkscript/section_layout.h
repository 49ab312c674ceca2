#pragma once
// Writes the output-section statements of the GNU ld script: one statement
// per section record with its load and run address, its input sections, its
// start, end, size and load symbols and the optional overflow assertions.
//
// Every section is written after the sections whose symbols its text uses
// (its predecessor in the segment chain, the predecessor of the section it
// runs in, the sections that run in it). The ordering walk uses an explicit
// stack, so a chain of any length lays out without deep recursion.
//
// Failures of the layout (cyclic dependency, a run section that itself runs
// in another section, a missing run section) end the run: they are thrown
// as HException.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "linkscript/gnu_ld_script_settings.h"
#include "linkscript/section_record.h"

namespace vozo {

// The state shared by all layOutSection calls of one script: the output
// buffer, the records in creation order, the script's settings, and name
// indices built once so that finding run sections stays linear in the number
// of records.
class SectionLayout {
 public:
  SectionLayout(std::string& out, const std::vector<SectionRecord*>& records,
                const GnuLdScriptSettings& script);

  std::string& out;
  const std::vector<SectionRecord*>& records;
  const GnuLdScriptSettings& script;
  const RunSettings& settings;  // script.run

  // The first record (in list order) whose name N equals `name`, a name
  // that some `runin` list names; null if none.
  SectionRecord* findByName(std::string_view name) const;
  // Every record, in list order, whose whole `runin` text equals the name
  // N of `record`.
  const std::vector<SectionRecord*>& runInsOf(const SectionRecord& record) const;

 private:
  std::unordered_map<std::string_view, SectionRecord*> firstByName_;
  std::unordered_map<std::string_view, std::vector<SectionRecord*>> runInsByText_;
  std::vector<SectionRecord*> none_;
};

// Calls `visit` with each non-empty piece of a `runin` list (pieces are
// separated by ";"), in order, until it returns true.
template <typename Visit>
void forEachRunSectionName(std::string_view runInText, Visit visit) {
  while (!runInText.empty()) {
    size_t end = runInText.find(';');
    std::string_view piece = runInText.substr(0, end);
    if (!piece.empty() && visit(piece)) return;
    if (end == std::string_view::npos) return;
    runInText.remove_prefix(end + 1);
  }
}

// Lays out `record` (and first whatever it depends on) into layout.out.
// A record already laid out writes nothing.
void layOutSection(SectionLayout& layout, SectionRecord& record);

// Replaces every "$(SEGMENT_SIZE_REMAINING)" in a size text by the space left
// in `segment` after `predecessor` (or the whole segment size without one).
std::string expandSegmentSizeRemaining(std::string_view sizeText, const MemoryMapElement& segment,
                                       const SectionRecord* predecessor);

}  // namespace vozo
