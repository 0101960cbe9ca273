// Where finished matches' journals are kept: one gzip-compressed file a match, named by the
// local date and time it ended, the newest fifty kept; and reading a replay file back.
#pragma once

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "replay/journal.h"

namespace krelmo::replay {

constexpr std::size_t kReplaysKept = 50;
// The text, compressed with gzip: `zcat` shows it.
constexpr const char* kReplayExtension = ".replay.gz";

// The gzip form of a journal's text, and the text again from either form (a file that is
// not gzip is taken as the text itself). Nothing, with the reason, for a damaged or
// outsized file.
std::string Compress(std::string_view text);
std::optional<std::string> ReadReplayFile(const std::string& path, std::string& error);
// The replay in the file at `path`, read and parsed; nothing, with "PATH:LINE: reason" (or
// "PATH: reason" for a file that cannot be read at all) in `error`.
std::optional<Replay> ReadReplay(const std::string& path, std::string& error);

class ReplayStore {
 public:
  explicit ReplayStore(std::string folder) : folder_(std::move(folder)) {}

  // Writes the journal, compressed, to a new file, whole or not at all, then lets the
  // oldest files go beyond the newest fifty. The path written, or empty with the reason in `error`.
  std::string Save(const std::string& journal, std::time_t when, std::string& error);
  // The replays in the folder, oldest first.
  std::vector<std::string> List() const;
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
};

}  // namespace krelmo::replay
