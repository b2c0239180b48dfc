# The warnings every target of the project is compiled with, GCC and Clang alike. The `ci`
# presets turn them into errors (CMAKE_COMPILE_WARNING_AS_ERROR), so that code with a warning
# does not reach main. Headers of other projects come in as system headers and are not checked.
add_library(ostravel_warnings INTERFACE)
target_compile_options(ostravel_warnings INTERFACE
  -Wall -Wextra -Wpedantic
  -Wshadow                  # a name that hides another one in scope
  -Wnon-virtual-dtor        # a polymorphic class deleted through its base
  -Woverloaded-virtual      # an overload that hides a virtual function of the base
  -Wcast-qual               # a cast that drops const
  -Wformat=2                # printf-style formats, including non-literal ones
  -Wimplicit-fallthrough    # a case that runs into the next without [[fallthrough]]
  $<$<CXX_COMPILER_ID:GNU>:-Wduplicated-cond -Wlogical-op>)
# Every target made after this line, in this folder and below, is built with them.
link_libraries(ostravel_warnings)
