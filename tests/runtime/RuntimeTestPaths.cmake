# bitmorph_host_path(<path> <out>): a build-tree path in the form the test programs use
# (under Wine the Unix root is drive Z:).
include_guard(GLOBAL)
function(bitmorph_host_path path out)
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(${out} "Z:${path}" PARENT_SCOPE)
  else()
    set(${out} "${path}" PARENT_SCOPE)
  endif()
endfunction()
