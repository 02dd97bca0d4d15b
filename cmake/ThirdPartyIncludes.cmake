# Host headers reach the cross compiler through folders that hold only the one
# library each, so the Linux system headers in /usr/include never shadow
# mingw-w64's own.
set(VEXILON_THIRD_PARTY_INCLUDE "${CMAKE_BINARY_DIR}/third_party/include")

function(vexilon_link_host_headers name source)
  if(NOT EXISTS "${source}")
    message(FATAL_ERROR "${source} is missing: run scripts/setup.sh to install the build dependencies.")
  endif()
  file(MAKE_DIRECTORY "${VEXILON_THIRD_PARTY_INCLUDE}")
  file(CREATE_LINK "${source}" "${VEXILON_THIRD_PARTY_INCLUDE}/${name}" SYMBOLIC)
endfunction()

vexilon_link_host_headers(boost /usr/include/boost)
vexilon_link_host_headers(CL /usr/include/CL)
vexilon_link_host_headers(nlohmann /usr/include/nlohmann)
vexilon_link_host_headers(vulkan /usr/include/vulkan)
vexilon_link_host_headers(vk_video /usr/include/vk_video)

add_library(third_party_headers INTERFACE)
target_include_directories(third_party_headers SYSTEM INTERFACE "${VEXILON_THIRD_PARTY_INCLUDE}")
# OpenCL entry points are loaded at run time; the headers only describe them.
target_compile_definitions(third_party_headers INTERFACE CL_TARGET_OPENCL_VERSION=120 BOOST_ALL_NO_LIB)
