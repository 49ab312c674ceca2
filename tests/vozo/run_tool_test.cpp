// The run sequence: which steps run in which order, what -verbose prints
// before each load, and the streams the writers are given.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "captured_stream.h"
#include "vozo/run_tool.h"

namespace vozo {
namespace {

using test::CapturedStream;

// Records each call, with the standard output written before it, and fails
// where told to.
class RecordingSteps : public RunSteps {
 public:
  explicit RecordingSteps(CapturedStream& out) : out_(out) {}

  bool loadMemoryMapFile(const std::string& path, const std::string& macros) override {
    record("map file " + path + " [" + macros + "]");
    return true;
  }
  void loadMemoryMapText(const std::string& text) override { record("map text " + text); }
  bool loadSectionPlacementFile(const std::string& path, const std::string& macros) override {
    record("placement file " + path + " [" + macros + "]");
    return true;
  }
  // The writers print their progress and warnings on the run's streams.
  void writeGnuLdScript(const std::string& outputPath, const RunValues&,
                        const RunSettings& settings, bool withPlacement) override {
    std::fputs("writer progress\n", settings.progress);
    std::fputs("writer warning\n", settings.warnings);
    record("gnu ld " + outputPath + (withPlacement ? " with placement" : ""));
  }
  void writeSeggerScript(const std::string& outputPath, const RunValues&, const RunSettings&,
                         bool withPlacement) override {
    record("segger " + outputPath + (withPlacement ? " with placement" : ""));
  }

  std::vector<std::string> calls;

 private:
  void record(std::string call) {
    std::string printed = out_.text();
    calls.push_back(printed.substr(outSeen_) + "> " + call);
    outSeen_ = printed.size();
  }
  CapturedStream& out_;
  size_t outSeen_ = 0;
};

struct RunResult {
  int status;
  std::string out;
  std::string err;
  std::vector<std::string> calls;
  RunSettings settings;
};

RunResult run(std::vector<std::string> arguments) {
  CapturedStream out, err;
  RecordingSteps steps(out);
  RunResult result;
  result.status = runTool(std::move(arguments), steps, result.settings, out.stream(), err.stream());
  result.out = out.text();
  result.err = err.text();
  result.calls = steps.calls;
  return result;
}

using Calls = std::vector<std::string>;

TEST(RunTool, Sequences) {
  struct Case {
    std::vector<std::string> arguments;
    Calls calls;
  };
  const std::string flashOnly =
      "map text <!DOCTYPE Board_Memory_Definition_File><Root name=\"none\"><MemorySegment "
      "name=\"FLASH\" start=\"0\" size=\"4096\"access=\"ReadOnly\"/></Root>";
  const Case cases[] = {
      {{"-memory-map-file", "m.xml", "-memory-map-macros", "A=1", "out.ld"},
       {"> map file m.xml [A=1]", "writer progress\n> gnu ld out.ld"}},
      {{"out.ld", "-memory-map-segments", "FLASH RX 0 4096"},
       {"> " + flashOnly, "writer progress\n> gnu ld out.ld"}},
      // A file wins over a segment list.
      {{"-memory-map-segments", "FLASH RX 0 4096", "-memory-map-file", "m.xml", "out.ld"},
       {"> map file m.xml []", "writer progress\n> gnu ld out.ld"}},
      {{"-memory-map-file", "m.xml", "-section-placement-file", "p.xml",
        "-section-placement-macros", "B=2", "out.ld"},
       {"> map file m.xml []", "> placement file p.xml [B=2]",
        "writer progress\n> gnu ld out.ld with placement"}},
      {{"-segger", "-memory-map-file", "m.xml", "out.ld"},
       {"> map file m.xml []", "> segger out.ld"}},
      {{"-segger", "-memory-map-file", "m.xml", "-section-placement-file", "p.xml", "out.ld"},
       {"> map file m.xml []", "> placement file p.xml []", "> segger out.ld with placement"}},
      // -verbose announces each file before it is loaded.
      {{"-verbose", "-memory-map-file", "m.xml", "-section-placement-file", "p.xml", "out.ld"},
       {"Using memory map file m.xml\n> map file m.xml []",
        "Using section placement file p.xml\n> placement file p.xml []",
        "writer progress\n> gnu ld out.ld with placement"}},
      {{"-verbose", "-memory-map-segments", "FLASH RX 0 4096", "out.ld"},
       {"Using memory map file \n> " + flashOnly, "writer progress\n> gnu ld out.ld"}},
  };
  for (const Case& c : cases) {
    RunResult result = run(c.arguments);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.calls, c.calls) << ::testing::PrintToString(c.arguments);
    const bool gnuLd = c.calls.back().find("gnu ld") != std::string::npos;
    EXPECT_EQ(result.err, gnuLd ? "writer warning\n" : "");
  }
}

}  // namespace
}  // namespace vozo
