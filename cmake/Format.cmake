# Formats every C++ file under src, tests and bench in place (the `format` target).
# Run as: cmake -D CLANG_FORMAT=/path/to/clang-format -P cmake/Format.cmake, from the source
# folder. The files are listed when the target runs, so new files are never missed.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}"
     src/*.cpp src/*.h tests/*.cpp tests/*.h bench/*.cpp bench/*.h)
if(NOT files)
  return()  # clang-format without files would wait for its standard input
endif()
execute_process(COMMAND "${CLANG_FORMAT}" -i ${files} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "clang-format failed")
endif()
