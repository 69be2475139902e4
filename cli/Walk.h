// The files that the command line names: files as they are, folders walked
// with -r.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/Catalogue.h"

namespace kelvorat::cli {

struct FileTask {
  std::string path;                  // "-": standard input
  std::optional<Language> language;  // none: the path's extension is unknown
  std::string error;                 // non-empty: fails with this reason, unread
  bool found = false;                // found in a folder: a regular file, no link
};

// One task for each PATH in order; with `recursive`, a folder becomes the
// files in it with a known extension, in name order, its subfolders walked
// too, except hidden ones (a name starting with '.'); symbolic links found in
// a folder are not followed. `language`, when set, applies to every file.
std::vector<FileTask> ListTasks(const std::vector<std::string>& paths, bool recursive,
                                std::optional<Language> language);

}  // namespace kelvorat::cli
