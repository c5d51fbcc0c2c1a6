#pragma once

// A run's sources looked at on a thread of their own while the run composes its pairs: their
// folders are read and every listed file identified meanwhile, so that the executor need not wait
// for either once the pairs are known.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/list/FolderListings.h"
#include "core/run/RenameExecutor.h"

namespace MyFileOperation {
class BatchRenames;
}

namespace RenameExecutor {

class SourcesAhead {
public:
    // paths: the listed files the run's old paths are taken from; they must stay as they are while
    // this lives. listings: of their folders, read before (a load's).
    explicit SourcesAhead(const std::vector<std::string>& paths,
                          MyFileOperation::FolderListings listings = {});
    ~SourcesAhead();
    SourcesAhead(const SourcesAhead&) = delete;
    SourcesAhead& operator=(const SourcesAhead&) = delete;

    // The renames that look at the sources in the folders read; null once taken.
    std::unique_ptr<MyFileOperation::BatchRenames> Take();
    // The identity seen at listed path i when it is oldPath; nullopt otherwise. After Take.
    std::optional<Platform::EntryId> IdOf(std::size_t i, std::string_view oldPath) const;

private:
    const std::vector<std::string>& paths_;
    std::unique_ptr<MyFileOperation::BatchRenames> renames_;
    std::vector<Platform::EntryId> ids_;  // of every listed path, {} where no file stood
    std::thread reader_;
};

// ExecuteSkippingCollisions with the sources looked at ahead: listed[k] is the listed path the k-th
// old path was taken from. independent: what Independent tells of the pairs, when the caller knows.
Outcome ExecuteSkippingCollisions(const std::vector<std::string>& oldPaths,
                                  const std::vector<std::string>& newPaths, Order order, RunControl* control,
                                  const std::vector<std::size_t>& refused, Recorder* recorder,
                                  SourcesAhead& ahead, const std::vector<std::size_t>& listed,
                                  std::optional<bool> independent = std::nullopt);

}  // namespace RenameExecutor
