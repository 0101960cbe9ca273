// Whole files, as the settings store keeps its file: read at once, and replaced atomically so
// that the file on disk is always either the old one or the new one; and moved aside without
// replacing another.
#pragma once

#include <string>
#include <string_view>

namespace krelmo::platform {

// The whole file into `bytes`; 0, or the error number (ENOENT for a missing file).
int ReadWholeFile(const std::string& path, std::string& bytes);

// A temporary file beside `path` (named after it, with ".tmp-" and a suffix), written, flushed
// to disk and renamed over it; the folder is made first when it is missing. On failure the old
// file is untouched, the temporary file is gone, and `error` names the file and the system's
// reason.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Renames `from` to `to` unless something already has that name, in one step: what is there is
// never replaced. kFailed with `error` naming the file and the system's reason.
enum class Renamed { kDone, kNameTaken, kFailed };
Renamed RenameWithoutReplacing(const std::string& from, const std::string& to, std::string& error);

}  // namespace krelmo::platform
