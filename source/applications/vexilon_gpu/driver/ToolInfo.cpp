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
    const std::string commit = VEXILON_GPU_COMMIT;
    return std::string("vexilon_gpu ") + VEXILON_GPU_VERSION + (commit.empty() ? "" : " (commit " + commit + ")");
}
