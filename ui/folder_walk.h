// Lists everything below a folder, in name order and depth first, for a
// conversion of the whole tree.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zentoro {

enum class EntryKind {
    RegularFile,          // a file, or a symbolic link to one
    OtherEntry,           // a device, socket, FIFO or dangling link: never opened
    DirectoryLink,        // a symbolic link to a folder: not followed
    UnreadableDirectory,  // a folder whose entries could not be listed
    Unreachable,          // listed, but its kind could not be told (path too long, search refused, vanished)
};

struct WalkEntry {
    std::filesystem::path path;      // the root joined with `relative`
    std::filesystem::path relative;  // below the root
    EntryKind kind = EntryKind::RegularFile;
    std::string problem;  // why an UnreadableDirectory or Unreachable entry could not be read
    bool viaLink = false;  // a RegularFile reached through a symbolic link
    // A RegularFile as its folder's listing gave it, not looked up since: a
    // failure to open it may be a failure to reach it (unreachableProblem).
    bool kindFromListing = false;
};

// Why the entry at `path` cannot be reached at all (its own kind cannot be
// told), as the walk says it, or an empty string.
std::string unreachableProblem(const std::filesystem::path& path);

// Walks `root` recursively without following symbolic links to folders and
// without descending into `excluded` (where a conversion writes its output);
// folders themselves are not listed unless they cannot be read.
std::vector<WalkEntry> walkFolder(const std::filesystem::path& root, const std::filesystem::path& excluded);

}  // namespace zentoro
