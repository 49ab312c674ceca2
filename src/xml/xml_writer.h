#pragma once
// A compact XML text of a subtree, for tests and diagnostics.

#include <string>

#include "xml/xml_node.h"

namespace vozo {

// Serialises `node` and everything below it, without added white space:
//   <tag a="v" b="w">children</tag>, or <tag a="v"/> when it has no children;
// attributes in their stored (name) order; attribute values and character
// data with &, <, > and " escaped as &amp; &lt; &gt; &quot;; CDATA sections
// as <![CDATA[...]]> and comments as <!--...-->, both raw. The node's own
// following siblings are not included. No recursion over depth.
std::string toXmlText(const XMLNode& node);

}  // namespace vozo
