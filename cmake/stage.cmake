# Fills the ready-to-run folder STAGE with the program EXE (named NAME there,
# t462.exe by default), every file of the folder ASSETS (file names in UTF-8,
# Japanese ones included) and the empty snapshot folder. Run with cmake -P.
if(NOT DEFINED NAME)
  set(NAME t462.exe)
endif()
foreach(variable EXE ASSETS STAGE)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "stage.cmake needs -D${variable}=...")
  endif()
endforeach()

file(MAKE_DIRECTORY "${STAGE}")
file(COPY_FILE "${EXE}" "${STAGE}/${NAME}" ONLY_IF_DIFFERENT)

if(IS_DIRECTORY "${ASSETS}")
  file(GLOB_RECURSE assets LIST_DIRECTORIES false RELATIVE "${ASSETS}" "${ASSETS}/*")
  foreach(asset IN LISTS assets)
    get_filename_component(folder "${STAGE}/${asset}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${ASSETS}/${asset}" "${STAGE}/${asset}" ONLY_IF_DIFFERENT)
  endforeach()
endif()

# The snapshot folder: the program writes into it but never creates it.
file(MAKE_DIRECTORY "${STAGE}/抜き取り画像保存フォルダ")
