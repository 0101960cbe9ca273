// Where finished matches' journals are kept: one file a match, named by the local date and
// time it ended, the newest fifty kept.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

namespace krelmo::replay {

constexpr std::size_t kReplaysKept = 50;
constexpr const char* kReplayExtension = ".replay";

class ReplayStore {
 public:
  explicit ReplayStore(std::string folder) : folder_(std::move(folder)) {}

  // Writes the journal to a new file, whole or not at all, then lets the oldest files go
  // beyond the newest fifty. The path written, or empty with the reason in `error`.
  std::string Save(const std::string& journal, std::time_t when, std::string& error);
  // The replays in the folder, oldest first.
  std::vector<std::string> List() const;
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
};

}  // namespace krelmo::replay
