#pragma once

#include <string>

// Signs of life and of position from the work of a run, for whoever watches
// it from outside. Nobody listens unless a listener is installed, so the
// signals cost nothing in a run that nobody watches.
class ProgressSignal {
public:
    typedef void (*Listener)(const std::string& mark);

    // Sends every later mark to `listener` (null: to nobody).
    static void Install(Listener listener);

    static void Send(const std::string& mark);
    // Whether anybody listens: marks that cost work to make are made only then.
    static bool Listening();
    // "beat": still busy, nothing else to say.
    static void Beat();

private:
    ProgressSignal() = delete;
};
