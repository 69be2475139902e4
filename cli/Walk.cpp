#include "cli/Walk.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cli/Transform.h"
#include "platform/FileSystem.h"

namespace kelvorat::cli {
namespace {

namespace fs = std::filesystem;

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) return folder + name;
  return folder + "/" + name;
}

void Walk(const std::string& folder, std::optional<Language> language, std::vector<FileTask>& out) {
  std::error_code ec;
  fs::directory_iterator it(fs::u8path(folder), ec);
  if (ec) {
    out.push_back({folder, std::nullopt, "cannot list the folder: " + ec.message()});
    return;
  }
  struct Entry {
    std::string name;
    bool folder;
  };
  std::vector<Entry> entries;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    const fs::file_status st = it->symlink_status(ec);
    if (ec) continue;
    const std::u8string u8 = it->path().filename().u8string();
    std::string name(u8.begin(), u8.end());
    if (fs::is_directory(st)) {
      if (name.empty() || name[0] == '.') continue;  // hidden
      entries.push_back({std::move(name), true});
    } else if (fs::is_regular_file(st) && LanguageForPath(name)) {
      entries.push_back({std::move(name), false});
    }
  }
  if (ec) {
    out.push_back({folder, std::nullopt, "cannot list the folder: " + ec.message()});
    return;
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
  for (const Entry& e : entries) {
    const std::string path = Join(folder, e.name);
    if (e.folder) {
      Walk(path, language, out);
    } else {
      out.push_back({path, language ? language : LanguageForPath(e.name), {}, true});
    }
  }
}

}  // namespace

std::vector<FileTask> ListTasks(const std::vector<std::string>& paths, bool recursive,
                                std::optional<Language> language) {
  std::vector<FileTask> tasks;
  if (paths.empty()) {
    tasks.push_back({"-", language, {}});
    return tasks;
  }
  for (const std::string& path : paths) {
    if (path == "-") {
      tasks.push_back({path, language, {}});
      continue;
    }
    platform::FileStatus status;
    if (const int e = platform::Files().PathStatus(path, true, status)) {
      tasks.push_back({path, language, platform::ErrorText(e)});
      continue;
    }
    if (status.type == platform::FileType::Directory) {
      if (recursive) {
        Walk(path, language, tasks);
      } else {
        tasks.push_back({path, language, "is a folder (use -r to process the files in it)"});
      }
      continue;
    }
    tasks.push_back({path, language ? language : LanguageForPath(path), {}});
  }
  return tasks;
}

}  // namespace kelvorat::cli
