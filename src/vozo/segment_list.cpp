#include "vozo/segment_list.h"

#include <unordered_set>
#include <vector>

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

}  // namespace vozo
