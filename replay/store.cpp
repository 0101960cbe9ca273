// The replay folder: atomic writes of whole files, names that sort by time, the newest kept.
#include "replay/store.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/registry.h"

namespace krelmo::replay {

namespace fs = std::filesystem;

namespace {

std::string Stamp(std::time_t when) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
  return text;
}

}  // namespace

std::vector<std::string> ReplayStore::List() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    if (path.extension() == kReplayExtension && it->is_regular_file(ec)) {
      names.push_back(path.filename().string());
    }
  }
  // "2026-12-07_01-55-03.replay" before "2026-12-07_01-55-03_2.replay".
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() && a.compare(0, 19, b, 0, 19) == 0 ? a.size() < b.size() : a < b;
  });
  for (auto& name : names) name = (fs::path(folder_) / name).string();
  return names;
}

std::string ReplayStore::Save(const std::string& journal, std::time_t when, std::string& error) {
  const std::string stamp = Stamp(when);
  fs::path path = fs::path(folder_) / (stamp + kReplayExtension);
  std::error_code ec;
  for (int n = 2; fs::exists(path, ec); ++n) {
    path = fs::path(folder_) / (stamp + "_" + std::to_string(n) + kReplayExtension);
  }
  if (!platform::WriteFileAtomically(path.string(), journal, error)) return {};
  std::vector<std::string> kept = List();
  for (std::size_t i = 0; i + kReplaysKept < kept.size(); ++i) fs::remove(kept[i], ec);
  return path.string();
}

}  // namespace krelmo::replay
