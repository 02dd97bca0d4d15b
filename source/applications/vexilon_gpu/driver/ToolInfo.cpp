#include "driver/ToolInfo.h"

#include "vexilon_gpu_build_info.h"

std::string ToolInfo::Usage()
{
    return
#include "vexilon_gpu_usage.inc"
        ;
}

std::string ToolInfo::VersionLine()
{
    const std::string commit = Commit();
    return "vexilon_gpu " + Version() + (commit.empty() ? "" : " (commit " + commit + ")");
}

std::string ToolInfo::Version() { return VEXILON_GPU_VERSION; }

std::string ToolInfo::Commit() { return VEXILON_GPU_COMMIT; }
