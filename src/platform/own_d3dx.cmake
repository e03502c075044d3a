# Our own .x reader and image decoders: portable, tested natively, and what the
# Windows backend loads models and textures with (no D3DX runtime needed).
# Included from src/CMakeLists.txt.
if(WIN32)
  set(ZLIB_USE_STATIC_LIBS ON)  # t462.exe carries zlib rather than needing zlib1.dll
endif()
find_package(ZLIB REQUIRED)

file(GLOB T462_D3DX_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/xfile/*.cpp ${CMAKE_CURRENT_LIST_DIR}/image/*.cpp)
add_library(t462_d3dx STATIC ${T462_D3DX_SOURCES})
target_include_directories(t462_d3dx PUBLIC ${PROJECT_SOURCE_DIR}/src
  PRIVATE ${PROJECT_SOURCE_DIR}/third_party)
target_link_libraries(t462_d3dx PUBLIC ZLIB::ZLIB PRIVATE t462_warnings)
# The vendored decoder is not ours to keep warning-free.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/image/stb_image_impl.cpp
  PROPERTIES COMPILE_OPTIONS "-w")
