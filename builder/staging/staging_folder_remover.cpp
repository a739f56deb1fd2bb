#include "builder/staging/staging_folder_remover.h"

#include "builder/staging/staging_folder.h"

#include <algorithm>
#include <system_error>
#include <utility>

StagingFolderRemover::~StagingFolderRemover()
{
    for (Removal& removal : removals_) {
        removal.thread.request_stop();
    }
}

void StagingFolderRemover::RemoveAbandoned()
{
    Start([](const std::function<bool()>& stopRequested) { RemoveAbandonedStagingFolders(stopRequested); });
}

void StagingFolderRemover::Finish()
{
    for (Removal& removal : removals_) {
        removal.thread.join();
    }
    removals_.clear();
}

void StagingFolderRemover::Start(std::function<void(const std::function<bool()>& stopRequested)> work)
{
    // Threads whose removal has ended are joined at once; they hold nothing more.
    std::erase_if(removals_, [](const Removal& removal) { return removal.done->load(); });
    auto done = std::make_shared<std::atomic<bool>>(false);
    try {
        std::jthread thread([work, done](const std::stop_token& stop) {
            work([&stop] { return stop.stop_requested(); });
            done->store(true);
        });
        removals_.push_back({std::move(done), std::move(thread)});
    } catch (const std::system_error&) {
        work({});
    }
}
