# One warning list for every target of the project.
add_library(corvenna_warnings INTERFACE)
target_compile_options(corvenna_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
  -Wold-style-cast -Woverloaded-virtual -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)
if(CORVENNA_WERROR)
  target_compile_options(corvenna_warnings INTERFACE -Werror)
endif()
