// The replay folder: atomic writes of whole files, names that sort by time, the newest kept.
#include "replay/store.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/whole_file.h"

namespace krelmo::replay {

namespace fs = std::filesystem;

namespace {

// Far beyond a day of play; a file that inflates to more is refused rather than read.
constexpr std::size_t kMaxText = 256u << 20;
constexpr int kGzipWindow = 15 + 16;     // deflate with a gzip header
constexpr int kAnyZlibWindow = 15 + 32;  // inflate gzip or zlib, told by the header

bool IsGzip(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
         static_cast<unsigned char>(bytes[1]) == 0x8B;
}

std::optional<std::string> Inflate(std::string_view bytes, std::string& error) {
  z_stream stream{};
  if (inflateInit2(&stream, kAnyZlibWindow) != Z_OK) {
    error = "cannot start to decompress";
    return std::nullopt;
  }
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  std::string text;
  char buffer[1 << 16];
  int status = Z_OK;
  while (status == Z_OK && text.size() <= kMaxText) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    status = inflate(&stream, Z_NO_FLUSH);
    text.append(buffer, sizeof buffer - stream.avail_out);
    if (status == Z_BUF_ERROR && stream.avail_in == 0) break;  // the input ran out
  }
  inflateEnd(&stream);
  if (status != Z_STREAM_END) {
    error = text.size() > kMaxText ? "it unpacks to more than 256 MB"
                                   : "the compressed data is damaged or cut short";
    return std::nullopt;
  }
  return text;
}

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

std::string Compress(std::string_view text) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kGzipWindow, 9, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(text.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

std::optional<std::string> ReadReplayFile(const std::string& path, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!file && !file.eof()) {
    error = "cannot be read";
    return std::nullopt;
  }
  if (!IsGzip(bytes)) return bytes;
  return Inflate(bytes, error);
}

std::optional<Replay> ReadReplay(const std::string& path, std::string& error) {
  std::string why;
  const auto text = ReadReplayFile(path, why);
  if (!text) {
    error = path + ": " + why;
    return std::nullopt;
  }
  ParseError parse;
  auto replay = ParseReplay(*text, parse);
  if (!replay) error = path + ":" + std::to_string(parse.line) + ": " + parse.message;
  return replay;
}

std::vector<std::string> ReplayStore::List() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    const std::string name = path.filename().string();
    if (name.ends_with(kReplayExtension) && it->is_regular_file(ec)) {
      names.push_back(path.filename().string());
    }
  }
  // "2026-12-07_01-55-03.replay.gz" before "2026-12-07_01-55-03_2.replay.gz".
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
  if (!platform::WriteFileAtomically(path.string(), Compress(journal), error)) return {};
  std::vector<std::string> kept = List();
  for (std::size_t i = 0; i + kReplaysKept < kept.size(); ++i) fs::remove(kept[i], ec);
  return path.string();
}

}  // namespace krelmo::replay
