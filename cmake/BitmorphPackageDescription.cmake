# Run by cpack after the archives are made (CPACK_POST_BUILD_SCRIPTS): cpack copies its own
# description of the components (a .json file) beside them; without the build machine's paths
# in it, it too is the same for the same sources.
foreach(file IN LISTS CPACK_PACKAGE_FILES)
  if(file MATCHES "\\.json$")
    file(READ ${file} description)
    string(JSON description REMOVE "${description}" projects)
    string(JSON description REMOVE "${description}" packageDescriptionFile)
    file(WRITE ${file} "${description}\n")
  endif()
endforeach()
