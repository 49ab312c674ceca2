#pragma once
// One problem found in the inputs, where it stands, and the list that the
// checks fill.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vozo {

class XMLNode;

struct Finding {
  std::string file;  // as shown (displayPath); empty for the command line
  int64_t line = 0;  // 1-based; 0 when the finding concerns the file as a whole
  std::string message;
};

class Findings {
 public:
  // A finding about the command line.
  void add(std::string message);
  // A finding at `node`'s file and line (the command line when the node was
  // not read from a file, as the segments of a segment list are not).
  void add(const XMLNode& node, std::string message);
  void add(std::string file, int64_t line, std::string message);

  // Adds the findings of `other`, in their order, after these.
  void append(Findings&& other);

  bool empty() const { return list_.empty(); }
  size_t size() const { return list_.size(); }
  const std::vector<Finding>& list() const { return list_; }

  // Command-line findings first, then by file and line; findings at one
  // place keep the order in which they were found.
  void sort();

 private:
  std::vector<Finding> list_;
};

// Writes one line per finding: "<file>:<line>: <severity>: <message>", or
// "vozo: <severity>: <message>" for the command line. A file below the
// working directory is shown relative to it, as it is usually given.
void writeFindings(std::FILE* stream, const Findings& findings, std::string_view severity);

// `path` as shown to the user: relative to the working directory when it
// lies below it, without a leading "./".
std::string displayPath(std::string_view path);

}  // namespace vozo
