cmake_minimum_required(VERSION 3.25)
# Run at build time (cmake -P): writes OUTPUT, a header with the project
# VERSION and the commit SOURCE_DIR was built from, touching it only when that
# changes, so a new commit rebuilds the version text and nothing else does.
execute_process(
  COMMAND git -C "${SOURCE_DIR}" describe --always --dirty --abbrev=12 --exclude=*
  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
if(failed)
  set(commit "")  # no git, or not a clone: the version alone
endif()
file(WRITE "${OUTPUT}.new"
  "#pragma once\n"
  "#define VEXILON_GPU_VERSION \"${VERSION}\"\n"
  "#define VEXILON_GPU_COMMIT \"${commit}\"\n")
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${OUTPUT}.new" "${OUTPUT}")
file(REMOVE "${OUTPUT}.new")
