#include "linkscript/section_layout.h"

#include <cstdio>

#include "linkscript/append_pieces.h"
#include "linkscript/default_input_sections.h"
#include "linkscript/hex_format.h"

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
    throw std::string("cyclic memory section dependency with section " + record.name);
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
    throw std::string("run section " + record.name + " cannot have run in sections");
  }

  if (element.hasRunIn()) {
    frame.kind = SectionKind::RunIn;
    std::string_view runInText = element.runIn().value_or(std::string_view());
    frame.runSection = findRunSection(layout, runInText);
    if (!frame.runSection) {
      if (layout.settings.missingRunInIsError) {
        throw std::string("cannot find run section " + std::string(runInText) + " referenced in " +
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

std::string loadStart(const Frame& frame, std::string_view segmentStem, const std::string& al) {
  const SectionRecord& record = *frame.record;
  const MemoryMapElement& element = *record.element;
  if (element.hasStart()) return std::string(element.startText().value_or(std::string_view()));
  std::string start;
  if (record.placeFromSegmentEnd) {
    put(start, "__", segmentStem, "_segment_start__ + (__", segmentStem, "_segment_size__ - ",
        std::to_string(record.segmentEndOffset), ")");
    return start;
  }
  const SectionRecord* p = frame.predecessor;
  if (!p) {
    put(start, "__", segmentStem, "_segment_start__");
  } else if (runsElsewhere(*p->element)) {
    put(start, "__", p->symbolStem(), "_load_start__ + SIZEOF(", p->name, ")");
  } else {
    put(start, "__", p->symbolStem(), "_end__");
  }
  if (element.hasAlignment() && element.alignment() > 1)
    start = "ALIGN(" + start + " , " + al + ")";
  return start;
}

// The run address of a run-in section: the start of its run section T,
// computed from T's surroundings since T's own start symbol comes later.
std::string runAddress(const Frame& frame) {
  const SectionRecord& t = *frame.runSection;
  const MemoryMapElement& tElement = *t.element;
  if (tElement.hasStart()) return "0x" + hex8(tElement.start());
  std::string run;
  if (const SectionRecord* tp = frame.runSectionPredecessor) {
    put(run, "__", tp->symbolStem(), "_end__");
  } else {
    put(run, "__", t.segmentStem(), "_segment_start__");
  }
  if (tElement.hasAlignment()) {
    run = "ALIGN(" + run + " , " + std::to_string(tElement.alignment()) + ")";
  }
  return run;
}

void writeSection(SectionLayout& layout, const Frame& frame) {
  std::string& out = layout.out;
  const SectionRecord& record = *frame.record;
  const MemoryMapElement& element = *record.element;
  const std::string& n = record.name;
  const std::string_view s = record.symbolStem();
  const std::string g = record.segmentStem();
  const SectionRecord* p = frame.predecessor;

  const bool aligned = element.hasAlignment();
  const std::string al = aligned ? std::to_string(element.alignment()) : std::string();
  const std::string start = loadStart(frame, g, al);
  const std::string_view lt = element.isLoaded() ? "" : " (NOLOAD)";
  const bool hasSize = element.hasSize();
  const std::string sz =
      hasSize ? expandSegmentSizeRemaining(element.sizeText().value_or(std::string_view()),
                                           *record.segment, p)
              : std::string();

  auto writeOpening = [&] {
    put(out, "  {\n", "    __", s, "_start__ = .;\n");
    if (element.hasAddressSymbol()) {
      put(out, "    ", element.addressSymbol().value_or(std::string_view()), " = ", "  __", s,
          "_start__;\n");
    }
  };

  std::string end;
  if (frame.kind == SectionKind::Run) {
    put(out, "  ", n, " ", start, lt, " :\n");
    writeOpening();
    if (hasSize) {
      if (aligned) {
        put(end, "ALIGN(__", s, "_start__ + ", sz, ", ", al, ")");
      } else {
        put(end, "__", s, "_start__ + ", sz);
      }
    }
    for (const SectionRecord* runIn : *frame.runIns) {
      std::string term;
      put(term, "__", s, "_start__ + SIZEOF(", runIn->name, ")");
      end = end.empty() ? term : "MAX(" + end + ", " + term + ")";
    }
  } else {
    put(out, "  __", s, "_load_start__ = ", start, ";\n");
    switch (frame.kind) {
      case SectionKind::RunOffset:
        put(out, "  ", n, " __", s, "_load_start__ + ",
            element.runOffset().value_or(std::string_view()), lt, " : AT(", start, ")\n");
        break;
      case SectionKind::RunIn:
        put(out, "  ", n, " ", runAddress(frame), lt, " : AT(", start, ")\n");
        break;
      default:
        put(out, "  ", n, " ", start, lt, " : AT(", start, ")\n");
        break;
    }
    writeOpening();
    std::string in = element.hasInputSections()
                         ? std::string(element.inputSections().value_or(std::string_view()))
                         : defaultInputSections(n, layout.settings);
    if (element.isKept()) in = "KEEP(" + in + ")";
    put(out, "    ", in, "\n");
    if (hasSize) {
      if (aligned) {
        put(out, "    . = ALIGN(MAX(__", s, "_start__ + ", sz, " , .), ", al, ");\n");
      } else {
        put(out, "    . = MAX(__", s, "_start__ + ", sz, " , .);\n");
      }
    }
  }

  // Closing lines.
  if (element.hasFill()) {
    put(out, "  } =", element.fill().value_or(std::string_view()), "\n");
  } else if (!layout.defaultFillPattern.empty()) {
    put(out, "  } =", layout.defaultFillPattern, "\n");
  } else {
    put(out, "  }\n");
  }
  if (frame.kind == SectionKind::Run) {
    put(out, "  __", s, "_end__ = ", end, ";\n");
    put(out, "  __", s, "_size__ = __", s, "_end__ - __", s, "_start__;\n");
  } else {
    put(out, "  __", s, "_end__ = __", s, "_start__ + SIZEOF(", n, ");\n");
    put(out, "  __", s, "_size__ = SIZEOF(", n, ");\n");
  }
  if (element.hasEndSymbol()) {
    put(out, "  ", element.endSymbol().value_or(std::string_view()), " = ", "  __", s, "_end__;\n");
  }
  if (element.hasSizeSymbol()) {
    put(out, element.sizeSymbol().value_or(std::string_view()), " = ", "  __", s, "_size__;\n");
  }
  const bool loadedElsewhere = runsElsewhere(element);
  if (loadedElsewhere) {
    put(out, "  __", s, "_load_end__ = __", s, "_load_start__ + SIZEOF(", n, ");\n\n");
  } else {
    put(out, "  __", s, "_load_end__ = __", s, "_end__;\n\n");
  }
  if (record.lastInSegment) {
    put(out, "  __", g, "_segment_used_end__ = ", start, " + SIZEOF(", n, ");\n");
    put(out, "  __", g, "_segment_used_size__ = __", g, "_segment_used_end__ - __", g,
        "_segment_start__;\n\n");
  }
  if (layout.checkSegmentOverflow) {
    if (loadedElsewhere) {
      put(out, "  . = ASSERT(__", s, "_load_start__ == __", s, "_load_end__ || (__", s,
          "_load_end__ - __", g, "_segment_start__) <=  __", g, "_segment_size__ , \"error: ", n,
          " is too large to fit in ", g, " memory segment\");\n");
    } else {
      put(out, "  . = ASSERT(__", s, "_start__ == __", s, "_end__ || (__", s, "_end__ - __", g,
          "_segment_start__) <= __", g, "_segment_size__ , \"error: ", n,
          " is too large to fit in ", g, " memory segment\");\n");
    }
    if (p && (element.hasStart() || record.placeFromSegmentEnd)) {
      std::string_view pLoad = runsElsewhere(*p->element) ? "_load" : "";
      std::string_view load = loadedElsewhere ? "_load" : "";
      put(out, "  . = ASSERT(__", p->symbolStem(), pLoad, "_end__ <= __", s, load,
          "_start__ , \"error: section ", p->name, " overlaps absolute placed section ", n,
          "\");\n");
    }
    put(out, "\n");
  }
  if (layout.checkSectionOverflow && hasSize) {
    if (aligned) {
      put(out, "  . = ASSERT(", sz, "  == ALIGN(", sz, ", ", al, "), \"error: ", n,
          " section size does not match alignment\");\n\n");
    }
    put(out, "  . = ASSERT(__", s, "_size__ <= ", sz, " , \"error: ", n,
        " section is larger than specified size\");\n");
    put(out, "\n");
  }
}

}  // namespace

SectionLayout::SectionLayout(std::string& out, const std::vector<SectionRecord*>& records,
                             bool checkSegmentOverflow, bool checkSectionOverflow,
                             std::string_view defaultFillPattern, const RunSettings& settings)
    : out(out),
      records(records),
      checkSegmentOverflow(checkSegmentOverflow),
      checkSectionOverflow(checkSectionOverflow),
      defaultFillPattern(defaultFillPattern),
      settings(settings) {
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
      case Phase::Write:
        writeSection(layout, frame);
        frame.record->laidOut = true;
        frame.record->inProgress = false;
        stack.pop_back();
        break;
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
