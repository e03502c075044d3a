# The `release` target of the Windows build: the zip a Windows user unpacks
# and runs from, build/release/t462-<version>.zip, packed by
# tools/make-release.sh (which can also build the windows preset first) from
# this build's t462.exe. Included from the top level for Windows builds only.
set(T462_RELEASE_DIR ${PROJECT_SOURCE_DIR}/build/release CACHE PATH
  "Where the release target puts the zip")
add_custom_target(release
  COMMAND bash ${PROJECT_SOURCE_DIR}/tools/make-release.sh --no-setup --no-build
    --build-dir ${CMAKE_BINARY_DIR} --out ${T462_RELEASE_DIR}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Packing the release zip into ${T462_RELEASE_DIR}"
  VERBATIM)
add_dependencies(release t462)
