# The portable part of our own D3DX subset: the matrix functions, the .x
# reader, the image decoders and what both backends' mesh, texture and font
# objects share. Tested natively; the backends load models, textures and
# fonts with it (no D3DX runtime needed). Included from src/CMakeLists.txt.
if(WIN32)
  set(ZLIB_USE_STATIC_LIBS ON)  # t462.exe carries zlib rather than needing zlib1.dll
endif()
find_package(ZLIB REQUIRED)

file(GLOB T462_D3DX_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xfile/*.cpp ${CMAKE_CURRENT_LIST_DIR}/image/*.cpp)
add_library(t462_d3dx STATIC ${T462_D3DX_SOURCES})
target_include_directories(t462_d3dx PUBLIC ${PROJECT_SOURCE_DIR}/src
  PRIVATE ${PROJECT_SOURCE_DIR}/third_party)
target_link_libraries(t462_d3dx PUBLIC ZLIB::ZLIB PRIVATE t462_warnings)
# The vendored decoder is not ours to keep warning-free.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/image/stb_image_impl.cpp
  PROPERTIES COMPILE_OPTIONS "-w")

# What the subset reads of the file system comes from the backend
# (d3dx/files.h): on Windows from win32/, elsewhere from these, which need
# nothing but the C library (also for the unit tests).
if(NOT WIN32)
  add_library(t462_d3dx_files STATIC ${CMAKE_CURRENT_LIST_DIR}/../linux/text_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../linux/d3dx_files_linux.cpp)
  target_include_directories(t462_d3dx_files PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(t462_d3dx_files PRIVATE t462_warnings)
  target_link_libraries(t462_d3dx PUBLIC t462_d3dx_files)
endif()
