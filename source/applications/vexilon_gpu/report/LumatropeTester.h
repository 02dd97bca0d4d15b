#pragma once

#include "report/Tester.h"

// The report for the host application "Lumatrope": the plain report plus a
// tester line and, per GPU, the GL limits and extension flags it relies on.
class LumatropeTester : public Tester {
public:
    void Begin() override;
    void DoRunGPU(GPU& gpu, const std::string& tag) override;
};
