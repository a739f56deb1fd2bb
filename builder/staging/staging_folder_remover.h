#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>
#include <vector>

// Removes staging folders on threads of their own, so that removing the thousands of pictures of the folders that
// killed runs left behind never holds the window up. Going away stops the removals still running at their next file
// and waits for them; what they leave stays marked for a later run to remove.
class StagingFolderRemover {
public:
    StagingFolderRemover() = default;
    ~StagingFolderRemover();
    StagingFolderRemover(const StagingFolderRemover&) = delete;
    StagingFolderRemover& operator=(const StagingFolderRemover&) = delete;

    // Removes what conversions that were killed left in the temporary folder (RemoveAbandonedStagingFolders).
    void RemoveAbandoned();
    // Waits until every removal has ended.
    void Finish();

private:
    struct Removal {
        std::shared_ptr<std::atomic<bool>> done;
        std::jthread thread;
    };

    // Runs `work` on a thread of its own, which it asks whether to stop; where no thread can be started, here.
    void Start(std::function<void(const std::function<bool()>& stopRequested)> work);

    std::vector<Removal> removals_;
};
