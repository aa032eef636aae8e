// The names in one folder, as the system lists them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zentoro {

struct ListedName {
    std::filesystem::path name;
    // The listing itself says the entry is a regular file (not a link to
    // one), so that it need not be asked again; false where it does not say.
    bool regularFile = false;
};

// Appends the names of the entries of `dir` ("." and ".." left out) to
// `names`, unsorted; returns why the listing failed or stopped early, or an
// empty string.
std::string listFolder(const std::filesystem::path& dir, std::vector<ListedName>& names);

}  // namespace zentoro
