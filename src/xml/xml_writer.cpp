#include "xml/xml_writer.h"

#include <vector>

namespace vozo {

void appendXmlEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
        break;
    }
  }
}

namespace {

// Writes the node's opening part: a whole leaf, or the start tag of an
// element with children. Returns true when the node's children follow.
bool appendOpening(std::string& out, const XMLNode& node) {
  if (const XMLElement* element = node.asElement()) {
    out += '<';
    out += element->tagName();
    for (const XMLAttribute& attribute : element->attributes()) {
      out += ' ';
      out += attribute.name;
      out += "=\"";
      appendXmlEscaped(out, attribute.value);
      out += '"';
    }
    if (!element->hasChildren()) {
      out += "/>";
      return false;
    }
    out += '>';
    return true;
  }
  std::string_view text = node.asText()->text();
  switch (node.type()) {
    case XMLNodeType::Comment:
      out += "<!--";
      out += text;
      out += "-->";
      break;
    case XMLNodeType::CDATASection:
      out += "<![CDATA[";
      out += text;
      out += "]]>";
      break;
    default:
      appendXmlEscaped(out, text);
      break;
  }
  return false;
}

}  // namespace

std::string toXmlText(const XMLNode& node) {
  std::string out;
  // Elements whose end tag is pending, each with its next child to write.
  struct Open {
    const XMLElement* element;
    const XMLNode* next;
  };
  std::vector<Open> stack;
  if (appendOpening(out, node)) stack.push_back({node.asElement(), node.firstChild()});
  while (!stack.empty()) {
    Open& top = stack.back();
    if (!top.next) {
      out += "</";
      out += top.element->tagName();
      out += '>';
      stack.pop_back();
      continue;
    }
    const XMLNode* child = top.next;
    top.next = child->nextSibling();
    if (appendOpening(out, *child)) stack.push_back({child->asElement(), child->firstChild()});
  }
  return out;
}

}  // namespace vozo
