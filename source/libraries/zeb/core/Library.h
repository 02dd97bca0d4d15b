#pragma once

namespace ZEB {
namespace Core {

// Global set-up of the core layer. Both calls may be repeated; only the first
// initialize after a terminate (or at start) does any work.
class Library {
public:
    static void initialize();
    static void terminate();
    static bool isInitialized();

private:
    Library() = delete;
};

} // namespace Core
} // namespace ZEB
