// The names in one folder, as the system lists them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zentoro {

// Appends the names of the entries of `dir` ("." and ".." left out) to
// `names`, unsorted; returns why the listing failed or stopped early, or an
// empty string.
std::string listFolder(const std::filesystem::path& dir, std::vector<std::filesystem::path>& names);

}  // namespace zentoro
