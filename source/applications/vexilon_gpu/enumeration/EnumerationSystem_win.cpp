#include "enumeration/EnumerationSystem.h"

#include "enumeration/EnumerationSystemWin.h"

namespace {
EnumerationSystem* gReplacement = nullptr;
}

EnumerationSystem::~EnumerationSystem() {}

EnumerationSystem& EnumerationSystem::Current()
{
    if (gReplacement != nullptr) {
        return *gReplacement;
    }
    static EnumerationSystemWin system;
    return system;
}

void EnumerationSystem::InstallReplacement(EnumerationSystem* replacement) { gReplacement = replacement; }
