# Warnings are errors on every compiler we build with.
add_library(t462_warnings INTERFACE)
if(MSVC)
  target_compile_options(t462_warnings INTERFACE /W4 /WX /utf-8)
else()
  target_compile_options(t462_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Werror)
endif()
