#include "engine/EngineFaultHook.h"

#include <atomic>
#include <mutex>
#include <utility>

namespace engine::faults {
namespace {

constexpr int kSites = 2;

std::atomic<bool> g_pending[kSites];

std::mutex &pendingMutex()
{
    static std::mutex m;
    return m;
}

std::exception_ptr &pendingError(Site site)
{
    static std::exception_ptr errors[kSites];
    return errors[static_cast<int>(site)];
}

} // namespace

void throwOnNextCall(Site site, std::exception_ptr error)
{
    std::lock_guard lock(pendingMutex());
    pendingError(site) = std::move(error);
    g_pending[static_cast<int>(site)].store(pendingError(site) != nullptr);
}

void throwIfPending(Site site)
{
    if (!g_pending[static_cast<int>(site)].load(std::memory_order_relaxed)) [[likely]]
        return;
    std::exception_ptr error;
    {
        std::lock_guard lock(pendingMutex());
        error = std::exchange(pendingError(site), nullptr);
        g_pending[static_cast<int>(site)].store(false);
    }
    if (error)
        std::rethrow_exception(error);
}

} // namespace engine::faults
