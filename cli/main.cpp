// kelvorat: the comment engine on the command line.
#include <cstdio>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define KELVORAT_ISATTY _isatty
#else
#include <unistd.h>
#define KELVORAT_ISATTY isatty
#endif

#include "cli/Tool.h"
#ifndef _WIN32
#include "cli/Simulate.h"
#endif

namespace kelvorat::cli {
namespace {

int Run(const std::vector<std::string>& args) {
#ifndef _WIN32
  if (!args.empty() && args[0] == "simulate") return RunSimulateOnStdio(args);
#endif
#ifdef _WIN32
  // Bytes in, bytes out: no line-break translation on the standard streams.
  _setmode(0, _O_BINARY);
  _setmode(1, _O_BINARY);
#endif
  ToolStreams streams;
  streams.errIsTerminal = KELVORAT_ISATTY(2) != 0;
  streams.cores = std::thread::hardware_concurrency();
  return RunTool(args, streams);
}

}  // namespace
}  // namespace kelvorat::cli

int main(int argc, char** argv) {
  try {
    return kelvorat::cli::Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (...) {
    std::fputs("kelvorat: unexpected failure\n", stderr);
  }
  return 1;
}
