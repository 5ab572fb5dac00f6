# Compiler settings shared by every target: warnings (as errors with BITMORPH_WERROR), static
# runtime on Windows.
add_compile_options(-Wall -Wextra)
# Warnings stop the build only where the project controls the compiler (every preset, and so
# CI): a user's newer compiler that finds something new to warn about still builds a release.
option(BITMORPH_WERROR "Treat compiler warnings as errors" OFF)
if(BITMORPH_WERROR)
  add_compile_options(-Werror)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_compile_options(-Wno-unused-command-line-argument)
endif()

if(WIN32)
  # Each .exe and .dll must run alone: libgcc, libstdc++ and winpthread are linked in.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

set(BITMORPH_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined")
if(BITMORPH_SANITIZE)
  add_compile_options(-fsanitize=${BITMORPH_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # g++ 12's flow analysis reports false "may be used uninitialized" inside <regex> and
    # <functional> once the sanitizers instrument them; the normal build keeps the warning.
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
  add_link_options(-fsanitize=${BITMORPH_SANITIZE})
endif()

if(BITMORPH_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (libFuzzer)")
  endif()
  # Every library is instrumented for coverage; only the fuzz programs link libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# bitmorph_self_contained(targets...): the launcher, the stand-in runtime and the
# application library sit on the start-up path, where loading and relocating the shared
# C++ library costs about a millisecond per process. On Linux they carry their own copy,
# hidden from whatever else the process loads (the Windows build is static throughout).
function(bitmorph_self_contained)
  if(NOT WIN32 AND NOT BITMORPH_SANITIZE AND NOT BITMORPH_FUZZ)
    foreach(target IN LISTS ARGN)
      target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc LINKER:--exclude-libs,ALL)
    endforeach()
  endif()
endfunction()
