#pragma once

#include <chrono>

// Time the process has spent in the bandwidth measurements (buffer copies and
// draws), so that a benchmark can tell it from everything else a run does.
class MeasurementClock {
public:
    // Adds the time from its construction to its destruction.
    class Scope {
    public:
        Scope() : start_(std::chrono::steady_clock::now()) {}
        ~Scope() { MeasurementClock::Add(std::chrono::steady_clock::now() - start_); }

    private:
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

        std::chrono::steady_clock::time_point start_;
    };

    static void Add(std::chrono::steady_clock::duration spent);
    static std::chrono::steady_clock::duration Total();

private:
    MeasurementClock() = delete;
};
