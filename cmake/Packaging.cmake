# Packages of an installed tree (cpack in a build folder; scripts/package.sh
# makes both): a Debian package of the native tool, a ZIP of the Windows one.
set(CPACK_PACKAGE_NAME vexilon_gpu)
set(CPACK_PACKAGE_VENDOR "vexilon_gpu developers")
set(CPACK_PACKAGE_CONTACT "vexilon_gpu developers <vexilon-gpu@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "report what the machine's graphics hardware can do")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  # Debian package names take no underscore.
  set(CPACK_DEBIAN_PACKAGE_NAME vexilon-gpu)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}
 Writes a report of every GPU (OpenGL version and limits, memory, PCI ids,
 driver data, GLSL and framebuffer tests, OpenCL and CUDA versions) on
 standard output, as lines for a host application or as one JSON document.")
  # Dependencies from the libraries the tool links; OpenCL and Vulkan are
  # loaded at run time, so their loaders are only recommended.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ocl-icd-libopencl1 | libopencl1, libvulkan1")
endif()
include(CPack)
