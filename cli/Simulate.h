// kelvorat simulate: the plug-in's command run on a simulated editor.
//
//   kelvorat simulate --choice ID [--select L1:C1-L2:C2] [--caret-at-start] [--trace] FILE
#pragma once

#include <string>
#include <vector>

namespace kelvorat::cli {

// args[0] is "simulate". The document afterwards goes to out; the trace,
// the failures and the usage errors to err. Answers the exit status: 0 done,
// 1 the file could not be read or decoded or the command failed, 2 bad usage.
int RunSimulate(const std::vector<std::string>& args, std::string& out, std::string& err);

// The same, writing to the standard output and error streams.
int RunSimulateOnStdio(const std::vector<std::string>& args);

}  // namespace kelvorat::cli
