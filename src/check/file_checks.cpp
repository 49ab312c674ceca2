#include "check/file_checks.h"

#include <cerrno>

#include "platform/error_text.h"
#include "platform/files.h"

namespace vozo {

namespace {

constexpr std::string_view kPreprocessorPrefix = "XmlPP::processConditionals(): ";

// The parser's two messages with what they mean.
std::string explainedParserMessage(const std::string& message) {
  if (message == "tagName mismatch") {
    return message + " (an end tag does not match the element it closes)";
  }
  if (message == "bad tagName") {
    return message + " (an attribute name starts with a character other than a letter, \"_\", "
                     "\"-\" or \":\")";
  }
  return message;
}

// A pipe or a device, unlike a regular file, is not opened again once the
// load has read it: that would wait for another writer or take bytes meant
// for no one.
bool isPipeOrDevice(const std::string& path) {
  const platform::FileStatus status = platform::fileStatus(path);
  return status.error == 0 && status.kind == platform::FileKind::Other;
}

// The system's reason why `path` cannot be opened as a file; empty when it
// can, or is a pipe or a device.
std::string whyUnopenable(const std::string& path) {
  const platform::FileStatus status = platform::fileStatus(path);
  if (status.error != 0) return platform::errorText(status.error);
  if (status.kind == platform::FileKind::Directory) return platform::errorText(EISDIR);
  if (status.kind != platform::FileKind::Regular) return {};
  const platform::InputFile::Opened opened = platform::InputFile::open(path);
  if (!opened.file) return platform::errorText(opened.error);
  return {};
}

// Why the file at `path` cannot be read as a document: why it cannot be
// opened, or the parser's message and line. Empty when it reads and has a
// root element, or is a pipe or a device.
std::string whyUnreadable(const std::string& path) {
  std::string why = whyUnopenable(path);
  if (!why.empty() || isPipeOrDevice(path)) return why;
  XMLDocument scratch(false);
  if (!scratch.load(path)) {
    return "it does not parse at line " + std::to_string(scratch.errorLine() + 1) + ": " +
           explainedParserMessage(scratch.errorMessage());
  }
  if (!scratch.root()) {
    if (const XMLElement* unclosed = scratch.unclosedElement()) {
      return "its root element <" + std::string(unclosed->tagName()) + ">, opened at line " +
             std::to_string(unclosed->line() + 1) + ", is never closed";
    }
    return "the file has no root element";
  }
  return {};
}

// The preprocessor's message as a user reads it: without the name of the
// routine that sent it, and a file that could not be read with the reason.
std::string preprocessorMessage(std::string_view text) {
  if (text.starts_with(kPreprocessorPrefix)) text.remove_prefix(kPreprocessorPrefix.size());
  if (text.starts_with("error: ")) text.remove_prefix(7);
  // error "couldn't read <path>" in include file <path> line:<n>
  constexpr std::string_view kInclude = "\" in include file ";
  if (text.starts_with("error \"") && text.find(kInclude) != std::string_view::npos) {
    std::string_view rest = text.substr(text.find(kInclude) + kInclude.size());
    std::string path(rest.substr(0, rest.rfind(" line:")));
    std::string why = whyUnreadable(path);
    return "cannot read include file \"" + displayPath(path) + "\"" +
           (why.empty() ? std::string() : ": " + why);
  }
  std::string message(text);
  // The message's own spelling is kept where it is sent; shown, it reads right.
  if (message.starts_with("xmlput cannot fine ")) message.replace(14, 4, "find");
  return message;
}

}  // namespace

void checkPreprocessorMessages(CheckContext& context, const MemoryMap& document) {
  for (const MemoryMap::Warning& warning : document.warnings()) {
    context.findings.add(warning.file, warning.line + 1, preprocessorMessage(warning.text));
  }
}

void checkImport(CheckContext& context, const MemoryMap& document, const XMLElement& element) {
  // A resolved Import leaves the tree; one that is still there was not read.
  std::optional<std::string_view> fileName = element.attribute("filename");
  if (element.parent() != document.root()) {
    context.findings.add(element, "Import is resolved only directly under the root element of "
                                  "the main file; this one is ignored");
  } else if (!fileName || fileName->empty()) {
    context.findings.add(element, "Import without a filename is ignored");
  } else {
    std::string path = resolveInputPath(document, *fileName);
    std::string why = whyUnreadable(path);
    context.findings.add(element, "cannot import \"" + displayPath(path) + "\"" +
                                      (why.empty() ? std::string() : ": " + why));
  }
}

void describeLoadFailure(const MemoryMap& document, std::string_view pathText,
                         std::string_view what, Findings& findings) {
  const std::string path = resolveInputPath(document, pathText);
  // The reason the load met, when it could not read the file; a pipe is not
  // there to be opened a second time.
  std::string why = document.readFailure() != 0 ? platform::errorText(document.readFailure())
                                                : whyUnopenable(path);
  if (!why.empty()) {
    findings.add("cannot read " + std::string(what) + " \"" + displayPath(path) + "\": " + why);
  } else if (!document.errorMessage().empty()) {
    findings.add(path, document.errorLine() + 1, explainedParserMessage(document.errorMessage()));
  } else if (const XMLElement* unclosed = document.unclosedElement()) {
    const std::string tag(unclosed->tagName());
    findings.add(path, unclosed->line() + 1,
                 "the root element <" + tag + "> opened here is never closed: the file ends "
                 "before its end tag </" + tag + ">");
  } else {
    findings.add(path, 0, "the file has no root element");
  }
}

}  // namespace vozo
