#include "compute/MeasurementClock.h"

#include <atomic>

namespace {
std::atomic<std::chrono::steady_clock::rep> gTicks(0);
}

void MeasurementClock::Add(std::chrono::steady_clock::duration spent) { gTicks += spent.count(); }

std::chrono::steady_clock::duration MeasurementClock::Total()
{
    return std::chrono::steady_clock::duration(gTicks.load());
}
