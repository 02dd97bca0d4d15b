#include "compute/ProgressSignal.h"

namespace {
ProgressSignal::Listener gListener = nullptr;
}

void ProgressSignal::Install(Listener listener) { gListener = listener; }

void ProgressSignal::Send(const std::string& mark)
{
    if (gListener != nullptr) {
        gListener(mark);
    }
}

bool ProgressSignal::Listening() { return gListener != nullptr; }

void ProgressSignal::Beat() { Send("beat"); }
