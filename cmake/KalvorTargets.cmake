# Warnings are errors in our own code; sanitizers apply to everything we build.
if(KALVOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Warnings stop the builds we make ourselves: a standard build type and no compiler flags of the
# builder's own. A packager's build (build type None, distribution CXXFLAGS, LTO, fortify) still
# shows them, but a false positive under flags we never built with does not fail the package.
set(kalvor_werror_default OFF)
if(CMAKE_BUILD_TYPE MATCHES "^(Debug|Release|RelWithDebInfo|MinSizeRel)$"
   AND "${CMAKE_CXX_FLAGS}" STREQUAL "" AND "${CMAKE_C_FLAGS}" STREQUAL "")
  set(kalvor_werror_default ON)
endif()
option(KALVOR_WERROR "Treat warnings in Kalvor's own code as errors" ${kalvor_werror_default})

function(kalvor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
    -Wno-missing-field-initializers)
  if(KALVOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 at -O3 reports overlaps inside libstdc++'s string assignment that cannot
    # happen (its bug 105651); any std::string built from a literal trips it. Likewise it
    # finds accesses past the end in std::vector::resize inlined into our code, which
    # writes only inside the storage it has just allocated. And at -O2 it takes the strings
    # of a table of aggregates, destroyed on the way out, for uninitialised.
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-array-bounds
      -Wno-maybe-uninitialized)
  endif()
  if(KALVOR_SANITIZE)
    # GCC's flow warnings misfire on the instrumented code (bounds of Qt's shared empty
    # array and the like); the normal build keeps them as errors.
    target_compile_options(${target} PRIVATE -Wno-array-bounds -Wno-stringop-overflow
      -Wno-maybe-uninitialized)
  endif()
endfunction()

# A static library of ours: sources, warnings, and the repository root as include root.
function(kalvor_library name)
  add_library(${name} STATIC ${ARGN})
  kalvor_warnings(${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
