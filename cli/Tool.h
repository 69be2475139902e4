// The kelvorat tool: a command line in, files and messages out.
#pragma once

#include <string>
#include <vector>

namespace kelvorat::cli {

struct ToolStreams {
  int in = 0;
  int out = 1;
  int err = 2;
  bool errIsTerminal = false;  // then many files show a progress line
  unsigned cores = 1;          // threads used without --jobs
};

// Runs the command line args (without the program's name). Answers the exit
// status: 0 done, 1 a file failed (the others are still processed), 2 bad
// usage. Throws nothing.
int RunTool(const std::vector<std::string>& args, const ToolStreams& streams);

}  // namespace kelvorat::cli
