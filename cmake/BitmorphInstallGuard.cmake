# Run by "cmake --install" before the product's files are installed: installing the product
# alone (--component bitmorph, as into a design suite) refuses, and changes nothing, when the
# target's bin64 already holds a bitmorph file that differs from this build's, unless
# BITMORPH_INSTALL_REPLACE=1 is set in the environment. A full installation (no component)
# replaces its own files as before. The build writes BITMORPH_PRODUCT_NAMES (file names in
# bin64) and BITMORPH_PRODUCT_BUILT (the files it installs) before including this script.
if(NOT CMAKE_INSTALL_COMPONENT STREQUAL "bitmorph" OR "$ENV{BITMORPH_INSTALL_REPLACE}" STREQUAL "1")
  return()
endif()

set(bin "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin64")
set(different)
foreach(name built IN ZIP_LISTS BITMORPH_PRODUCT_NAMES BITMORPH_PRODUCT_BUILT)
  if(EXISTS "${bin}/${name}")
    file(SHA256 "${bin}/${name}" present)
    file(SHA256 "${built}" ours)
    if(NOT present STREQUAL ours)
      list(APPEND different "${name}")
    endif()
  endif()
endforeach()
if(different)
  list(JOIN different ", " names)
  message(FATAL_ERROR "bitmorph: ${bin} already holds ${names} of another bitmorph build; "
                      "nothing was installed. To replace them, set BITMORPH_INSTALL_REPLACE=1 in "
                      "the environment and install again.")
endif()
