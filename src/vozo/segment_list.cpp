#include "vozo/segment_list.h"

#include <unordered_set>
#include <vector>

#include "check/finding.h"
#include "xml/split_list.h"
#include "xml/xml_writer.h"

namespace vozo {
namespace {

std::string_view accessAttribute(std::string_view code) {
  if (code == "RW" || code == "RWX") return "access=\"ReadWrite\"";
  if (code == "R" || code == "RX") return "access=\"ReadOnly\"";
  return {};
}

}  // namespace

std::string segmentListToMemoryMapText(std::string_view segmentList) {
  std::string text = "<!DOCTYPE Board_Memory_Definition_File><Root name=\"none\">";
  std::vector<std::string_view> entries = splitPlain(segmentList, ';', true);
  std::unordered_set<std::string_view> usedNames;
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    std::vector<std::string_view> pieces = splitPlain(*entry, ' ', false);
    if (pieces.size() != 4) continue;
    std::string_view name = pieces[0];
    if (!usedNames.insert(name).second) continue;
    text += "<MemorySegment name=\"";
    appendXmlEscaped(text, name);
    text += "\" start=\"";
    appendXmlEscaped(text, pieces[2]);
    text += "\" size=\"";
    appendXmlEscaped(text, pieces[3]);
    text += '"';
    text += accessAttribute(pieces[1]);
    text += "/>";
  }
  text += "</Root>";
  return text;
}

void checkSegmentList(std::string_view segmentList, Findings& findings) {
  std::vector<std::string_view> entries = splitPlain(segmentList, ';', true);
  std::vector<std::string> problems(entries.size());
  std::unordered_set<std::string_view> usedNames;
  // Later entries win, so the list is read from its end, as it is converted.
  for (size_t i = entries.size(); i-- > 0;) {
    const std::string entry = "segment list entry \"" + std::string(entries[i]) + "\"";
    std::vector<std::string_view> pieces = splitPlain(entries[i], ' ', false);
    if (pieces.empty()) continue;
    if (pieces.size() != 4) {
      problems[i] = entry + " has " + std::to_string(pieces.size()) +
                    (pieces.size() == 1 ? " field" : " fields") +
                    ", expected 4 (<name> <access> <start> <size>, separated by spaces); it is "
                    "dropped";
    } else if (!usedNames.insert(pieces[0]).second) {
      problems[i] = entry + " is dropped: a later entry defines segment " +
                    std::string(pieces[0]) + " again";
    } else if (accessAttribute(pieces[1]).empty()) {
      problems[i] = "access \"" + std::string(pieces[1]) + "\" in " + entry +
                    " is not R, RX, RW or RWX; the segment is writable";
    }
  }
  for (std::string& problem : problems) {
    if (!problem.empty()) findings.add(std::move(problem));
  }
}

}  // namespace vozo
