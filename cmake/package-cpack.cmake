# Read by cpack for each package it makes: the version written by the last
# build (package-version.cmake) names the package and its files.
if(NOT EXISTS "${CPACK_T462_VERSION_FILE}")
  message(FATAL_ERROR "no ${CPACK_T462_VERSION_FILE}: build the linux preset first")
endif()
file(STRINGS "${CPACK_T462_VERSION_FILE}" version LIMIT_COUNT 1)
execute_process(COMMAND dpkg --print-architecture
  OUTPUT_VARIABLE architecture OUTPUT_STRIP_TRAILING_WHITESPACE)
set(CPACK_PACKAGE_VERSION "${version}")
set(CPACK_DEBIAN_PACKAGE_VERSION "${version}")
set(CPACK_PACKAGE_FILE_NAME "t462_${version}_${architecture}")
