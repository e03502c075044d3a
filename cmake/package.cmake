# Install rules of the Linux program and its Debian package: `cmake --install`
# puts the program, its sample files, menu entry, icons, metainfo, manual page
# and documents under the prefix; `cpack` (the `package` target, or
# tools/make-package.sh) packs the same tree into t462_<version>_<arch>.deb
# and t462_<version>_<arch>.tar.gz. Included from the top level for Linux
# program builds without sanitizers.
include(GNUInstallDirs)

# Where the project lives on the web and by mail. The project has no public
# home yet: these stand in, in the reserved domain t462.example, until it has.
set(T462_APP_ID "example.t462.t462" CACHE STRING
  "The id of the menu entry and the metainfo, a reverse domain name")
set(T462_SCREENSHOT_URL "https://t462.example/screenshot.png" CACHE STRING
  "Where software centres fetch the screenshot (docs/screenshot.png, published)")
set(T462_MAINTAINER "t462 developers <dev@t462.example>" CACHE STRING
  "The package's maintainer, name and mail address")
set(T462_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(T462_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

# The version and the Debian changelog, from tools/version.sh on every
# build, so that a package never carries the version of an older commit.
add_custom_target(t462_package_version ALL
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR} -DOUT=${T462_PACKAGE_DIR}
    -DMAINTAINER=${T462_MAINTAINER} -P ${PROJECT_SOURCE_DIR}/cmake/package-version.cmake
  BYPRODUCTS ${T462_PACKAGE_DIR}/version
  VERBATIM)

# The manual page, compressed without a time stamp.
add_custom_command(OUTPUT ${T462_PACKAGE_DIR}/t462.1.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${T462_PACKAGING}/t462.1 ${T462_PACKAGE_DIR}/t462.1
  COMMAND gzip -f -n -9 ${T462_PACKAGE_DIR}/t462.1
  DEPENDS ${T462_PACKAGING}/t462.1
  VERBATIM)
set(T462_PACKAGE_FILES ${T462_PACKAGE_DIR}/t462.1.gz)

# The icon at the sizes menus ask for, drawn from the SVG.
find_program(T462_RSVG_CONVERT rsvg-convert)
set(T462_ICON_SIZES 48 128)
if(T462_RSVG_CONVERT)
  foreach(size IN LISTS T462_ICON_SIZES)
    set(png ${T462_PACKAGE_DIR}/icons/${size}x${size}/t462.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${T462_PACKAGE_DIR}/icons/${size}x${size}
      COMMAND ${T462_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${T462_PACKAGING}/t462.svg
      DEPENDS ${T462_PACKAGING}/t462.svg
      VERBATIM)
    list(APPEND T462_PACKAGE_FILES ${png})
  endforeach()
else()
  message(WARNING "rsvg-convert not found (Debian: librsvg2-bin): the icon is installed "
    "as SVG only, without its PNGs at ${T462_ICON_SIZES} pixels")
endif()
add_custom_target(t462_package_files ALL DEPENDS ${T462_PACKAGE_FILES})

configure_file(${T462_PACKAGING}/t462.metainfo.xml.in
  ${T462_PACKAGE_DIR}/${T462_APP_ID}.metainfo.xml @ONLY)

# The program as Debian builds programs: fortified C library calls, stack
# protection, and a relocation table made read-only at start.
foreach(target t462 t462_core t462_d3dx t462_d3dx_files)
  target_compile_options(${target} PRIVATE -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2
    -fstack-protector-strong)
endforeach()
target_link_options(t462 PRIVATE -Wl,-z,relro,-z,now)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
  GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS t462 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (cpack's, --strip) also drops the compilers' notes, as
# Debian's own packages do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/t462\" COMMAND_ERROR_IS_FATAL ANY)
  endif()")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/ DESTINATION ${CMAKE_INSTALL_DATADIR}/t462)
install(FILES ${T462_PACKAGING}/t462.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
  RENAME ${T462_APP_ID}.desktop)
install(FILES ${T462_PACKAGE_DIR}/${T462_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${T462_PACKAGING}/t462.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
if(T462_RSVG_CONVERT)
  foreach(size IN LISTS T462_ICON_SIZES)
    install(FILES ${T462_PACKAGE_DIR}/icons/${size}x${size}/t462.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()
install(FILES ${T462_PACKAGE_DIR}/t462.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${T462_PACKAGING}/README ${T462_PACKAGING}/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${T462_PACKAGE_DIR}/changelog/ DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME t462)
set(CPACK_PACKAGE_VENDOR "t462 developers")
set(CPACK_PACKAGE_CONTACT "${T462_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "live video feedback through a 3D model")
set(CPACK_PACKAGE_DESCRIPTION [=[
t462 lifts a part of the screen through a small skinned viewfinder and
shows it, every frame, as the picture worn by a 3D model. Put the
viewfinder over the display window and the picture feeds back into
itself. Keys turn and move the model and the camera, colour the light
and tint the picture; snapshots are saved as BMP files.

It works in ~/.local/share/t462/, made on the first start with the
sample model and the panel's skin: the place for a model and skin of
your own.]=])
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Read by cpack itself: the version of this build (package-version.cmake).
set(CPACK_T462_VERSION_FILE ${T462_PACKAGE_DIR}/version)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/package-cpack.cmake)
include(CPack)
