#pragma once

#include <functional>
#include <string>

// A version text that is handed out once. An empty cache is refilled first
// (the refill may fill other caches too); the caller receives the text and
// the cache is left empty, so the next ask refills it again.
class VersionCache {
public:
    static std::string Take(std::string& cache, const std::function<void()>& refill);

private:
    VersionCache() = delete;
};
