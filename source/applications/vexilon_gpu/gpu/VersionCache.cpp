#include "gpu/VersionCache.h"

std::string VersionCache::Take(std::string& cache, const std::function<void()>& refill)
{
    if (cache.empty()) {
        refill();
    }
    std::string text;
    text.swap(cache);
    return text;
}
