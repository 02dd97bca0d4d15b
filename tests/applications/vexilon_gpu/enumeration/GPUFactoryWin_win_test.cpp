// Which display devices become GPUs: the enumeration on Wine's WMI row,
// offered once per display device of the case, each device with the case's
// state flags; contexts open on Wine's one real device.
#include "enumeration/EnumerationSystemWin.h"
#include "enumeration/GPUFactoryWin.h"
#include "sysinfo/ComReference.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const DWORD kAttached = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP;
const DWORD kPrimary = DISPLAY_DEVICE_PRIMARY_DEVICE;
const DWORD kMirroring = DISPLAY_DEVICE_MIRRORING_DRIVER;

class ScriptedDisplays : public EnumerationSystemWin {
public:
    explicit ScriptedDisplays(const std::vector<DWORD>& flags) : flags_(flags) {}

    std::vector<std::size_t> asked;  // display device indexes, in the order asked

    HRESULT NextRow(IEnumWbemClassObject* enumerator, IWbemClassObject** row) override
    {
        if (!row_ && FAILED(EnumerationSystemWin::NextRow(enumerator, row_.receive()))) {
            return E_FAIL;
        }
        *row = rows_++ < flags_.size() ? row_.get() : nullptr;
        if (*row != nullptr) {
            (*row)->AddRef();
        }
        return S_OK;
    }
    void DisplayDevice(std::size_t index, DISPLAY_DEVICEA& device) override
    {
        asked.push_back(index);
        device.StateFlags = index < flags_.size() ? flags_[index] : 0;
    }
    ZEB::OGL::Context* CreateOffscreenContext(const DISPLAY_DEVICEA&) override
    {
        DISPLAY_DEVICEA real = {};
        real.cb = sizeof real;
        EnumerationSystemWin::DisplayDevice(0, real);
        return EnumerationSystemWin::CreateOffscreenContext(real);
    }

private:
    std::vector<DWORD> flags_;
    ComReference<IWbemClassObject> row_;
    std::size_t rows_ = 0;
};

} // namespace

// Only attachment to the desktop counts; a dropped row leaves the position
// to the next row, which meets the same display device again.
TEST(GPUFactoryWin, EveryDisplayDeviceAttachedToTheDesktopBecomesAGPU)
{
    const struct {
        const char* name;
        std::vector<DWORD> flags;
        std::vector<std::size_t> asked;
        std::size_t gpus;
    } cases[] = {
        {"attached and primary", {kAttached | kPrimary}, {0}, 1},
        {"attached, not primary", {kAttached | kPrimary, kAttached}, {0, 1}, 2},
        {"primary flag without attached", {kPrimary, kAttached}, {0, 0}, 0},
        {"a mirroring driver", {kAttached, kMirroring, kAttached}, {0, 1, 1}, 1},
        {"detached first", {0, kAttached}, {0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDisplays system(c.flags);
        EnumerationSystem::InstallReplacement(&system);
        GPUFactoryWin factory;
        EXPECT_EQ(c.gpus, factory.GetGPUs().size());
        EnumerationSystem::InstallReplacement(nullptr);
        EXPECT_EQ(c.asked, system.asked);
    }
}
