#pragma once

#include <cstddef>
#include <string>

// Local output files are written under a partial name in their own folder and
// renamed to the final name only when they are complete, so a file under a
// final name is always a whole file: a failed, killed or crashed conversion
// leaves at most a hidden partial file, never a broken file under the name the
// user asked for. Callers that choose names for others reserve a final name by
// creating its partial file exclusively (see the destination name search).
namespace partial_output {

// Bytes the partial name adds to a final name that fits the folder's limit.
constexpr size_t kDecorationBytes = 6;  // "." before, ".part" after

// The longest file name (bytes, without folder) the folder's file system takes.
size_t NameLimit(const std::string& folder);

// The longest prefix of a UTF-8 text of at most maxBytes that does not cut a
// character in two.
std::string Utf8Prefix(const std::string& text, size_t maxBytes);

// The partial file beside finalPath: "." + name + ".part" in the same folder;
// a name too long for that is shortened and made unique with a hash of it.
std::string PartialPathOf(const std::string& finalPath);

// Whether an output named `path` (a local path) is written under a partial
// name: yes unless something other than a regular file (a device such as
// /dev/null, a pipe) already has that name.
bool UsesPartialFile(const std::string& path);

// Flushes the partial file to the disk and renames it to finalPath. With
// replace false an existing file of the final name is never replaced. Raises
// EngineException with a text naming the final file.
void Publish(const std::string& partialPath, const std::string& finalPath, bool replace);

// The message for a failed write of `file` with the library's result or an
// errno value (positive); a full disk, a quota and the file size limit say so.
std::string WriteErrorText(const std::string& file, int error);

}  // namespace partial_output
