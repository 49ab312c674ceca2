#include "linkscript/section_layout.h"

#include <cstdio>

#include "expr/h_exception.h"
#include "linkscript/append_pieces.h"
#include "linkscript/default_input_sections.h"
#include "linkscript/hex_format.h"
#include "linkscript/lld_compatible.h"

namespace vozo {

namespace {

constexpr std::string_view kSegmentSizeRemaining = "$(SEGMENT_SIZE_REMAINING)";

enum class SectionKind { Plain, RunOffset, RunIn, Run };

// Where the walk over one record stands. The phases follow the order in
// which a record's dependencies are laid out before its own text.
enum class Phase {
  CheckPrevious,  // lay out the previous record of the chain
  Prepare,        // find the predecessor, the kind and the run section
  RunIns,         // lay out the sections that run in this one, one by one
  Write,          // all dependencies done: write the statement
};

struct Frame {
  SectionRecord* record;
  Phase phase = Phase::CheckPrevious;
  SectionKind kind = SectionKind::Plain;
  SectionRecord* predecessor = nullptr;            // P
  SectionRecord* runSection = nullptr;             // T, for a run-in section
  SectionRecord* runSectionPredecessor = nullptr;  // TP
  const std::vector<SectionRecord*>* runIns = nullptr;
  size_t nextRunIn = 0;
};

// The first record along the chain starting at `record` that is not
// discarded (now), or null.
SectionRecord* firstKept(SectionRecord* record) {
  while (record && record->discarded) record = record->previous;
  return record;
}

bool runsElsewhere(const MemoryMapElement& element) {
  return element.hasRunIn() || element.hasRunOffset();
}

// Starts the walk over `record`: the guards of a call, then a new frame.
void enter(SectionLayout& layout, SectionRecord& record, std::vector<Frame>& stack) {
  const RunSettings& settings = layout.settings;
  if (settings.verbose) {
    std::fprintf(settings.progress, "Laying out section %s\n", record.name.c_str());
  }
  if (record.laidOut) {
    if (settings.verbose) {
      std::fprintf(settings.progress, "Section %s already laid out\n", record.name.c_str());
    }
    return;
  }
  if (record.inProgress) {
    throw HException("cyclic memory section dependency with section " + record.name);
  }
  record.inProgress = true;
  stack.push_back(Frame{&record});
}

// The first record named by a piece of the `runin` list, or null.
SectionRecord* findRunSection(const SectionLayout& layout, std::string_view runInText) {
  SectionRecord* found = nullptr;
  forEachRunSectionName(runInText, [&](std::string_view name) {
    found = layout.findByName(name);
    return found != nullptr;
  });
  return found;
}

// Fills in the predecessor and kind; returns false when the section is
// discarded (it is then finished).
bool prepare(SectionLayout& layout, Frame& frame) {
  SectionRecord& record = *frame.record;
  const MemoryMapElement& element = *record.element;
  frame.predecessor = firstKept(record.previous);

  const std::vector<SectionRecord*>& runIns = layout.runInsOf(record);
  if (element.hasRunIn() && !runIns.empty()) {
    throw HException("run section " + record.name + " cannot have run in sections");
  }

  if (element.hasRunIn()) {
    frame.kind = SectionKind::RunIn;
    std::string_view runInText = element.runIn().value_or(std::string_view());
    frame.runSection = findRunSection(layout, runInText);
    if (!frame.runSection) {
      if (layout.settings.missingRunInIsError) {
        throw HException("cannot find run section " + std::string(runInText) + " referenced in " +
                          std::string(record.symbolStem()));
      }
      if (layout.settings.verbose) {
        std::fprintf(layout.settings.progress,
                     "Discarding %s because run in section %s not found\n", record.name.c_str(),
                     std::string(runInText).c_str());
      }
      record.laidOut = true;
      record.discarded = true;
      record.inProgress = false;
      return false;
    }
    frame.runSectionPredecessor = firstKept(frame.runSection->previous);
  } else if (element.hasRunOffset()) {
    frame.kind = SectionKind::RunOffset;
  } else if (!runIns.empty()) {
    frame.kind = SectionKind::Run;
    frame.runIns = &runIns;
  }
  return true;
}

// A placement text written into the script as it stands, or without its
// unary plus signs for -lld-compatible.
std::string scriptExpression(const SectionLayout& layout, std::string_view text) {
  return layout.script.lldCompatible ? withoutUnaryPlus(text) : std::string(text);
}

// -lld-compatible: the __<stem>_alignment__ symbol of `record`, which its
// address and those of the sections that run in it are aligned to. lld
// checks that a section's address is a multiple of its input sections'
// alignment; GNU ld lowers the alignment of a section with an address to
// what that address allows, so ALIGNOF in the section's own address
// expression gives what its address allowed in the pass before, while after
// the section, where the symbol is assigned, it gives that of its inputs.
std::string alignmentSymbol(const SectionRecord& record) {
  std::string symbol;
  put(symbol, "__", record.symbolStem(), "_alignment__");
  return symbol;
}

// The value of the alignment symbol, assigned after the statement of
// `record`; empty when it has none (without the option, for the offset
// table). A run section takes the largest of the sections that run in it,
// which start where it starts; another section that of its input sections,
// 1 when it is empty: lld gives an empty section for contents that it makes
// (.ARM.exidx, .got) the alignment of those, GNU ld none.
std::string alignmentSymbolValue(const SectionLayout& layout, const SectionRecord& record) {
  std::string value;
  if (!layout.script.lldCompatible || record.isOffsetTable) return value;
  const std::vector<SectionRecord*>& runIns = layout.runInsOf(record);
  if (runIns.empty()) {
    put(value, "SIZEOF(", record.name, ") ? ALIGNOF(", record.name, ") : 1");
    return value;
  }
  for (const SectionRecord* runIn : runIns) {
    value = value.empty() ? alignmentSymbol(*runIn)
                          : "MAX(" + value + ", " + alignmentSymbol(*runIn) + ")";
  }
  return value;
}

// What the address of `record` is aligned to beside its placement's
// alignment: its alignment symbol, unless it runs elsewhere (this is its load
// address) or has none; empty without the option.
std::string inputAlignment(const SectionLayout& layout, const SectionRecord& record) {
  if (!layout.script.lldCompatible || record.isOffsetTable) return {};
  if (runsElsewhere(*record.element) && layout.runInsOf(record).empty()) return {};
  return alignmentSymbol(record);
}

// `address` aligned to the placement's `alignment` (none when 0 or 1) and to
// `inputAlignment` (none when empty). Alignments are combined in one ALIGN:
// lld keeps only the outer one of nested ALIGNs.
std::string alignedAddress(std::string address, uint32_t alignment,
                           const std::string& inputAlignment) {
  std::string by = alignment > 1 ? std::to_string(alignment) : std::string();
  if (!inputAlignment.empty()) {
    by = by.empty() ? inputAlignment : "MAX(" + by + ", " + inputAlignment + ")";
  }
  return by.empty() ? address : "ALIGN(" + address + " , " + by + ")";
}

// Where a section that follows `predecessor` in its chain starts before it
// is aligned: `endOf` the predecessor, or the segment start without one. A
// predecessor that takes no room when empty (the offset table) is passed
// over when it is.
template <typename EndOf>
std::string pastPredecessor(const SectionRecord* predecessor, std::string_view segmentStem,
                            EndOf endOf) {
  std::string start;
  if (!predecessor) {
    put(start, "__", segmentStem, "_segment_start__");
    return start;
  }
  start = endOf(*predecessor);
  if (!predecessor->isOffsetTable) return start;
  return "(SIZEOF(" + predecessor->name + ") ? " + start + " : " +
         pastPredecessor(firstKept(predecessor->previous), segmentStem, endOf) + ")";
}

// The load address of a section: its own start, its place from the segment
// end, or just past its predecessor (or at the segment start without one),
// aligned.
std::string loadStartOf(const SectionLayout& layout, const Frame& frame,
                        std::string_view segmentStem) {
  const SectionRecord& record = *frame.record;
  const MemoryMapElement& element = *record.element;
  if (element.hasStart()) {
    return scriptExpression(layout, element.startText().value_or(std::string_view()));
  }
  std::string start;
  if (record.placeFromSegmentEnd) {
    put(start, "__", segmentStem, "_segment_start__ + (__", segmentStem, "_segment_size__ - ",
        std::to_string(record.segmentEndOffset), ")");
    return start;
  }
  start = pastPredecessor(frame.predecessor, segmentStem, [](const SectionRecord& p) {
    std::string end;
    if (runsElsewhere(*p.element)) {
      put(end, "__", p.symbolStem(), "_load_start__ + SIZEOF(", p.name, ")");
    } else {
      put(end, "__", p.symbolStem(), "_end__");
    }
    return end;
  });
  return alignedAddress(std::move(start), element.hasAlignment() ? element.alignment() : 0,
                        inputAlignment(layout, record));
}

// The run address of a run-in section: the start of its run section T,
// computed from T's surroundings since T's own start symbol comes later.
std::string runAddress(const SectionLayout& layout, const Frame& frame) {
  const SectionRecord& t = *frame.runSection;
  const MemoryMapElement& tElement = *t.element;
  if (tElement.hasStart()) return "0x" + hex8(tElement.start());
  std::string run =
      pastPredecessor(frame.runSectionPredecessor, t.segmentStem(), [](const SectionRecord& tp) {
        std::string end;
        put(end, "__", tp.symbolStem(), "_end__");
        return end;
      });
  std::string tAlignment = inputAlignment(layout, t);
  if (!tAlignment.empty()) {
    return alignedAddress(std::move(run), tElement.hasAlignment() ? tElement.alignment() : 0,
                          tAlignment);
  }
  if (tElement.hasAlignment()) {
    run = "ALIGN(" + run + " , " + std::to_string(tElement.alignment()) + ")";
  }
  return run;
}

// The pieces of text that the lines of one section statement share, each
// made once.
struct StatementText {
  StatementText(const SectionLayout& layout, const Frame& frame);

  const SectionRecord& record;
  const MemoryMapElement& element;
  const std::string& name;      // the output section's name
  std::string_view symbolStem;  // stem of the section's __<stem>_start__ symbols
  std::string segmentStem;      // stem of the segment's symbols
  bool aligned;                 // the section has an alignment
  std::string alignment;        // its value, empty when it has none
  std::string loadStart;        // the load address expression
  std::string_view noLoad;      // " (NOLOAD)" for a section not loaded, else empty
  bool sized;                   // the section has a size
  std::string size;             // its expression, empty when it has none
  bool loadedElsewhere;         // it runs at another address than it loads at
};

// Each member is made where it stands, in the order declared.
StatementText::StatementText(const SectionLayout& layout, const Frame& frame)
    : record(*frame.record),
      element(*record.element),
      name(record.name),
      symbolStem(record.symbolStem()),
      segmentStem(record.segmentStem()),
      aligned(element.hasAlignment()),
      alignment(aligned ? std::to_string(element.alignment()) : std::string()),
      loadStart(loadStartOf(layout, frame, segmentStem)),
      noLoad(element.isLoaded() ? "" : " (NOLOAD)"),
      sized(element.hasSize()),
      size(sized ? scriptExpression(
                       layout, expandSegmentSizeRemaining(
                                   element.sizeText().value_or(std::string_view()),
                                   *record.segment, frame.predecessor))
                 : std::string()),
      loadedElsewhere(runsElsewhere(element)) {}

// The start symbol and the user's address symbol, first inside the braces.
void writeStartSymbols(std::string& out, const StatementText& t) {
  put(out, "  {\n", "    __", t.symbolStem, "_start__ = .;\n");
  if (t.element.hasAddressSymbol()) {
    put(out, "    ", t.element.addressSymbol().value_or(std::string_view()), " = ", "  __",
        t.symbolStem, "_start__;\n");
  }
}

// A run section holds no input sections of its own: the sections that run
// in it are placed there. Writes its opening lines and returns the
// expression of its end: past its size and past each of those sections,
// whichever is last.
std::string writeRunSectionOpening(const SectionLayout& layout, const StatementText& t,
                                   const std::vector<SectionRecord*>& runIns) {
  std::string& out = layout.out;
  if (layout.script.lldCompatible) {
    // Without a load address lld adds the section to the program header of
    // the statement before, the first section that runs in it; ending at
    // the start of that header, it leaves the header empty, and lld drops
    // the header with the section's initial values in it.
    put(out, "  ", t.name, " ", t.loadStart, t.noLoad, " : AT(", t.loadStart, ")\n");
  } else {
    put(out, "  ", t.name, " ", t.loadStart, t.noLoad, " :\n");
  }
  writeStartSymbols(out, t);
  std::string end;
  if (t.sized) {
    if (t.aligned) {
      put(end, "ALIGN(__", t.symbolStem, "_start__ + ", t.size, ", ", t.alignment, ")");
    } else {
      put(end, "__", t.symbolStem, "_start__ + ", t.size);
    }
  }
  for (const SectionRecord* runIn : runIns) {
    std::string term;
    put(term, "__", t.symbolStem, "_start__ + SIZEOF(", runIn->name, ")");
    end = end.empty() ? term : "MAX(" + end + ", " + term + ")";
  }
  return end;
}

// The run address of the statement: at the load address, at an offset from
// it, or in the run section.
void writeAddressLine(const SectionLayout& layout, const StatementText& t, const Frame& frame) {
  std::string& out = layout.out;
  switch (frame.kind) {
    case SectionKind::RunOffset:
      put(out, "  ", t.name, " __", t.symbolStem, "_load_start__ + ",
          scriptExpression(layout, t.element.runOffset().value_or(std::string_view())), t.noLoad,
          " : AT(", t.loadStart, ")\n");
      break;
    case SectionKind::RunIn:
      put(out, "  ", t.name, " ", runAddress(layout, frame), t.noLoad, " : AT(", t.loadStart,
          ")\n");
      break;
    default:
      put(out, "  ", t.name, " ", t.loadStart, t.noLoad, " : AT(", t.loadStart, ")\n");
      break;
  }
}

// The opening lines of a section with input sections: its load start, its
// addresses, its input sections and the padding up to its size.
void writeLoadedSectionOpening(const SectionLayout& layout, const StatementText& t,
                               const Frame& frame) {
  std::string& out = layout.out;
  put(out, "  __", t.symbolStem, "_load_start__ = ", t.loadStart, ";\n");
  writeAddressLine(layout, t, frame);
  writeStartSymbols(out, t);
  const bool defaultInputs = !t.element.hasInputSections();
  std::string in = defaultInputs
                       ? defaultInputSections(t.name, layout.settings)
                       : std::string(t.element.inputSections().value_or(std::string_view()));
  if (t.element.isKept()) in = "KEEP(" + in + ")";
  put(out, "    ", in, "\n");
  // lld keeps an unplaced section even when it is empty and fails the link
  // on it in the UNPLACED_SECTIONS region (GNU ld drops it): the sections
  // that the linkers or the C runtime bring, often empty, are placed here.
  if (layout.script.lldCompatible && defaultInputs) {
    std::string_view linkerMade = linkerMadeInputSections(t.name);
    if (!linkerMade.empty()) put(out, "    ", linkerMade, "\n");
  }
  if (t.sized) {
    if (t.aligned) {
      put(out, "    . = ALIGN(MAX(__", t.symbolStem, "_start__ + ", t.size, " , .), ", t.alignment,
          ");\n");
    } else {
      put(out, "    . = MAX(__", t.symbolStem, "_start__ + ", t.size, " , .);\n");
    }
  }
}

// The closing brace with the section's fill pattern, or the run's default.
void writeClosingBrace(const SectionLayout& layout, const StatementText& t) {
  std::string& out = layout.out;
  std::string_view defaultFillPattern = layout.script.defaultFillPattern;
  if (t.element.hasFill()) {
    put(out, "  } =", scriptExpression(layout, t.element.fill().value_or(std::string_view())),
        "\n");
  } else if (!defaultFillPattern.empty()) {
    put(out, "  } =", scriptExpression(layout, defaultFillPattern), "\n");
  } else {
    put(out, "  }\n");
  }
}

// The end, size and load end symbols, the user's symbols for them, and the
// segment's used end and size after its last section. `runSectionEnd` is the
// end expression of a run section, empty for other sections; `alignment` the
// value of the alignment symbol, empty for none.
void writeEndSymbols(std::string& out, const StatementText& t, std::string_view runSectionEnd,
                     bool isRunSection, std::string_view alignment) {
  const std::string_view s = t.symbolStem;
  const std::string_view n = t.name;
  if (isRunSection) {
    put(out, "  __", s, "_end__ = ", runSectionEnd, ";\n");
    put(out, "  __", s, "_size__ = __", s, "_end__ - __", s, "_start__;\n");
  } else {
    put(out, "  __", s, "_end__ = __", s, "_start__ + SIZEOF(", n, ");\n");
    put(out, "  __", s, "_size__ = SIZEOF(", n, ");\n");
  }
  if (!alignment.empty()) put(out, "  __", s, "_alignment__ = ", alignment, ";\n");
  if (t.element.hasEndSymbol()) {
    put(out, "  ", t.element.endSymbol().value_or(std::string_view()), " = ", "  __", s,
        "_end__;\n");
  }
  if (t.element.hasSizeSymbol()) {
    put(out, t.element.sizeSymbol().value_or(std::string_view()), " = ", "  __", s, "_size__;\n");
  }
  if (t.loadedElsewhere) {
    put(out, "  __", s, "_load_end__ = __", s, "_load_start__ + SIZEOF(", n, ");\n\n");
  } else {
    put(out, "  __", s, "_load_end__ = __", s, "_end__;\n\n");
  }
  if (t.record.lastInSegment) {
    const std::string& g = t.segmentStem;
    put(out, "  __", g, "_segment_used_end__ = ", t.loadStart, " + SIZEOF(", n, ");\n");
    put(out, "  __", g, "_segment_used_size__ = __", g, "_segment_used_end__ - __", g,
        "_segment_start__;\n\n");
  }
}

// -check-segment-overflow: the section fits in its segment, and a section
// placed at a fixed address or from the segment end does not overlap its
// predecessor.
void writeSegmentOverflowChecks(std::string& out, const StatementText& t,
                                const SectionRecord* predecessor) {
  const std::string_view s = t.symbolStem;
  const std::string_view n = t.name;
  const std::string& g = t.segmentStem;
  if (t.loadedElsewhere) {
    put(out, "  . = ASSERT(__", s, "_load_start__ == __", s, "_load_end__ || (__", s,
        "_load_end__ - __", g, "_segment_start__) <=  __", g, "_segment_size__ , \"error: ", n,
        " is too large to fit in ", g, " memory segment\");\n");
  } else {
    put(out, "  . = ASSERT(__", s, "_start__ == __", s, "_end__ || (__", s, "_end__ - __", g,
        "_segment_start__) <= __", g, "_segment_size__ , \"error: ", n, " is too large to fit in ",
        g, " memory segment\");\n");
  }
  if (predecessor && (t.element.hasStart() || t.record.placeFromSegmentEnd)) {
    std::string_view predecessorLoad = runsElsewhere(*predecessor->element) ? "_load" : "";
    std::string_view load = t.loadedElsewhere ? "_load" : "";
    put(out, "  . = ASSERT(__", predecessor->symbolStem(), predecessorLoad, "_end__ <= __", s, load,
        "_start__ , \"error: section ", predecessor->name, " overlaps absolute placed section ", n,
        "\");\n");
  }
  put(out, "\n");
}

// -check-section-overflow, for a section with a size: the size is a
// multiple of the alignment, and the contents fit in it.
void writeSectionSizeChecks(std::string& out, const StatementText& t) {
  if (t.aligned) {
    put(out, "  . = ASSERT(", t.size, "  == ALIGN(", t.size, ", ", t.alignment,
        "), \"error: ", t.name, " section size does not match alignment\");\n\n");
  }
  put(out, "  . = ASSERT(__", t.symbolStem, "_size__ <= ", t.size, " , \"error: ", t.name,
      " section is larger than specified size\");\n");
  put(out, "\n");
}

// The whole statement of one section and the symbols and checks after it.
void writeSection(SectionLayout& layout, const Frame& frame) {
  std::string& out = layout.out;
  const StatementText t(layout, frame);
  const bool isRunSection = frame.kind == SectionKind::Run;
  std::string runSectionEnd;
  if (isRunSection) {
    runSectionEnd = writeRunSectionOpening(layout, t, *frame.runIns);
  } else {
    writeLoadedSectionOpening(layout, t, frame);
  }
  writeClosingBrace(layout, t);
  writeEndSymbols(out, t, runSectionEnd, isRunSection, alignmentSymbolValue(layout, t.record));
  if (layout.script.checkSegmentOverflow) writeSegmentOverflowChecks(out, t, frame.predecessor);
  if (layout.script.checkSectionOverflow && t.sized) writeSectionSizeChecks(out, t);
}

}  // namespace

SectionLayout::SectionLayout(std::string& out, const std::vector<SectionRecord*>& records,
                             const GnuLdScriptSettings& script)
    : out(out), records(records), script(script), settings(script.run) {
  // Only the names that `runin` lists name are indexed, and every record is
  // matched against the two indices in one pass here: a script of many
  // sections has far fewer run sections, and small indices walked in one go
  // stay in cache, where a lookup per record amid the writing of the text
  // would miss it every time.
  for (SectionRecord* record : records) {
    std::optional<std::string_view> runIn = record->element->runIn();
    if (!runIn) continue;
    runInsByText_[*runIn].push_back(record);
    forEachRunSectionName(*runIn, [this](std::string_view name) {
      firstByName_.try_emplace(name, nullptr);
      return false;
    });
  }
  if (runInsByText_.empty()) return;
  for (SectionRecord* record : records) {
    auto named = firstByName_.find(record->name);
    if (named != firstByName_.end() && named->second == nullptr) named->second = record;
    auto runIns = runInsByText_.find(record->name);
    if (runIns != runInsByText_.end()) record->runIns = &runIns->second;
  }
}

SectionRecord* SectionLayout::findByName(std::string_view name) const {
  auto found = firstByName_.find(name);
  return found == firstByName_.end() ? nullptr : found->second;
}

const std::vector<SectionRecord*>& SectionLayout::runInsOf(const SectionRecord& record) const {
  return record.runIns != nullptr ? *record.runIns : none_;
}

void layOutSection(SectionLayout& layout, SectionRecord& record) {
  std::vector<Frame> stack;
  enter(layout, record, stack);
  while (!stack.empty()) {
    // `frame` is not used after enter(): pushing may move the stack.
    Frame& frame = stack.back();
    switch (frame.phase) {
      case Phase::CheckPrevious: {
        frame.phase = Phase::Prepare;
        SectionRecord* previous = frame.record->previous;
        if (previous && !previous->laidOut) enter(layout, *previous, stack);
        break;
      }
      case Phase::Prepare: {
        if (!prepare(layout, frame)) {
          stack.pop_back();
          break;
        }
        if (frame.kind == SectionKind::Run) {
          frame.phase = Phase::RunIns;
          break;
        }
        frame.phase = Phase::Write;
        SectionRecord* tp = frame.runSectionPredecessor;
        if (tp && !tp->laidOut) enter(layout, *tp, stack);
        break;
      }
      case Phase::RunIns:
        if (frame.nextRunIn < frame.runIns->size()) {
          SectionRecord* runIn = (*frame.runIns)[frame.nextRunIn++];
          enter(layout, *runIn, stack);
        } else {
          frame.phase = Phase::Write;
        }
        break;
      case Phase::Write: {
        SectionRecord& written = *frame.record;
        writeSection(layout, frame);
        written.laidOut = true;
        written.inProgress = false;
        stack.pop_back();
        // A record that waits for this one is next on the stack already.
        SectionRecord* next = written.writtenNext;
        if (next && !next->inProgress) enter(layout, *next, stack);
        break;
      }
    }
  }
}

std::string expandSegmentSizeRemaining(std::string_view sizeText, const MemoryMapElement& segment,
                                       const SectionRecord* predecessor) {
  size_t at = sizeText.find(kSegmentSizeRemaining);
  if (at == std::string_view::npos) return std::string(sizeText);
  const std::string g = underscoreSpaces(segment.name());
  std::string replacement;
  if (predecessor) {
    put(replacement, "(__", g, "_segment_end__ - (__", predecessor->symbolStem(),
        "_load_start__ + SIZEOF(", predecessor->name, ")))");
  } else {
    put(replacement, "__", g, "_segment_size__");
  }
  std::string result;
  while (at != std::string_view::npos) {
    result.append(sizeText.substr(0, at));
    result.append(replacement);
    sizeText.remove_prefix(at + kSegmentSizeRemaining.size());
    at = sizeText.find(kSegmentSizeRemaining);
  }
  result.append(sizeText);
  return result;
}

}  // namespace vozo
