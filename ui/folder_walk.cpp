#include "ui/folder_walk.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "ui/folder_listing.h"

namespace zentoro {

namespace fs = std::filesystem;

namespace {

enum class Found { Directory, File, FileLink, Other, DirectoryLink, Unreachable };

// Looks through a symbolic link only to tell what it points at. An entry
// whose own kind cannot be told is unreachable, and `problem` says why; a
// link whose target cannot be reached is a dangling link.
Found classify(const fs::path& path, std::string& problem) {
    std::error_code error;
    fs::file_status own = fs::symlink_status(path, error);
    if (error) {
        problem = "cannot reach: " + error.message();
        return Found::Unreachable;
    }
    if (fs::is_directory(own)) return Found::Directory;
    if (fs::is_regular_file(own)) return Found::File;
    if (!fs::is_symlink(own)) return Found::Other;
    fs::file_status target = fs::status(path, error);
    if (fs::is_directory(target)) return Found::DirectoryLink;
    return fs::is_regular_file(target) ? Found::FileLink : Found::Other;
}

// Fills `names` with the entries of `dir` in name order; returns why the
// listing failed or stopped early, or nothing.
std::string listSorted(const fs::path& dir, std::vector<ListedName>& names) {
    std::string problem = listFolder(dir, names);
    std::sort(names.begin(), names.end(), [](const ListedName& a, const ListedName& b) { return a.name < b.name; });
    return problem;
}

// An entry still to visit, below the root.
struct PendingEntry {
    fs::path relative;
    bool regularFile;  // as listed: its kind need not be looked up
};

class Walker {
public:
    Walker(const fs::path& root, const fs::path& excluded) : root_(root), excluded_(excluded) {}

    std::vector<WalkEntry> run() {
        queueChildren(fs::path());
        while (!pending_.empty()) {
            PendingEntry entry = std::move(pending_.back());
            pending_.pop_back();
            // A file listed as regular is opened without following links and
            // checked to be regular then; anything else is looked up first.
            if (entry.regularFile) {
                add(entry.relative, EntryKind::RegularFile);
                found_.back().kindFromListing = true;
            } else {
                visit(entry.relative);
            }
        }
        return std::move(found_);
    }

private:
    fs::path pathOf(const fs::path& relative) const { return relative.empty() ? root_ : root_ / relative; }

    bool isExcluded(const fs::path& dir) const {
        std::error_code error;
        return !excluded_.empty() && fs::equivalent(dir, excluded_, error);
    }

    void add(const fs::path& relative, EntryKind kind, std::string problem = {}, bool viaLink = false) {
        found_.push_back(WalkEntry{pathOf(relative), relative, kind, std::move(problem), viaLink});
    }

    void visit(const fs::path& relative) {
        std::string problem;
        switch (classify(pathOf(relative), problem)) {
            case Found::Directory:
                if (!isExcluded(pathOf(relative))) queueChildren(relative);
                return;
            case Found::File: add(relative, EntryKind::RegularFile); return;
            case Found::FileLink: add(relative, EntryKind::RegularFile, {}, true); return;
            case Found::DirectoryLink: add(relative, EntryKind::DirectoryLink); return;
            case Found::Other: add(relative, EntryKind::OtherEntry); return;
            case Found::Unreachable: add(relative, EntryKind::Unreachable, std::move(problem)); return;
        }
    }

    // Queued in reverse so that the stack hands them out in name order.
    void queueChildren(const fs::path& relative) {
        std::vector<ListedName> names;
        std::string problem = listSorted(pathOf(relative), names);
        if (!problem.empty()) add(relative, EntryKind::UnreadableDirectory, "cannot list: " + problem);
        for (auto listed = names.rbegin(); listed != names.rend(); ++listed) {
            pending_.push_back({relative / listed->name, listed->regularFile});
        }
    }

    fs::path root_;
    fs::path excluded_;
    std::vector<PendingEntry> pending_;  // still to visit, the next last
    std::vector<WalkEntry> found_;
};

}  // namespace

std::string unreachableProblem(const fs::path& path) {
    std::error_code error;
    (void)fs::symlink_status(path, error);
    return error ? "cannot reach: " + error.message() : std::string();
}

std::vector<WalkEntry> walkFolder(const fs::path& root, const fs::path& excluded) {
    return Walker(root, excluded).run();
}

}  // namespace zentoro
