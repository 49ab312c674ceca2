#pragma once
// XML text: a compact serialisation of a subtree (for tests and diagnostics)
// and the escaping of attribute values.

#include <string>
#include <string_view>

#include "xml/xml_node.h"

namespace vozo {

// Serialises `node` and everything below it, without added white space:
//   <tag a="v" b="w">children</tag>, or <tag a="v"/> when it has no children;
// attributes in their stored (name) order; attribute values and character
// data with &, <, > and " escaped as &amp; &lt; &gt; &quot;; CDATA sections
// as <![CDATA[...]]> and comments as <!--...-->, both raw. The node's own
// following siblings are not included. No recursion over depth.
std::string toXmlText(const XMLNode& node);

// Appends `text` with &, <, > and " escaped, as in attribute values.
void appendXmlEscaped(std::string& out, std::string_view text);

}  // namespace vozo
