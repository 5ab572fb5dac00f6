# Install components and release packages. Every installed file belongs to one component:
#   bitmorph  the product: the launcher, bitmorph.jar and the application library;
#   runtime   the stand-in Java runtime below bin64/jre64;
#   standins  the stand-in converter and object-copy tool, sofgen, the example designs and the
#             text that says what the stand-ins are.
# cpack makes two archives of them per platform (BitmorphArchives.cmake writes them):
#   bitmorph-<version>-<system>             the product alone, to unpack into a suite's root;
#   bitmorph-standalone-<version>-<system>  all three components, converts the examples as is;
# .tar.gz on Linux, .zip on Windows, with a SHA256SUMS file beside them.
include_guard(GLOBAL)

set(BITMORPH_VENDOR "bitmorph developers")

# Installing the product alone (the component bitmorph, as into a suite) refuses to replace a
# different bitmorph there; the guard runs before any of the product's files is installed, so
# this rule comes before the areas' rules. Its list of files is written once every target
# exists (bitmorph_finish_packaging).
install(CODE "include(\"${CMAKE_BINARY_DIR}/BitmorphInstallGuard.cmake\" OPTIONAL)" COMPONENT bitmorph)

if(WIN32)
  set(bitmorph_package_system windows-x86_64)
  set(bitmorph_archive_format zip)
else()
  set(bitmorph_package_system linux-x86_64)
  set(bitmorph_archive_format tar.gz)
endif()

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "${BITMORPH_VENDOR}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SOF to flash-image converter with its launcher")
# cpack's own description of the components (a .json file beside the archives).
set(CPACK_PACKAGE_FILE_NAME bitmorph-${PROJECT_VERSION}-${bitmorph_package_system}-components)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
# cpack stages each component in a folder of its own and hands the stages to
# BitmorphArchives.cmake: the archive generators can make neither a package of one component
# beside a package of all of them nor archives that come out the same byte for byte.
set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_REQUESTED_VERSIONS "1.0")
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_COMPONENT_INSTALL ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/BitmorphArchives.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/BitmorphPackageDescription.cmake)
set(CPACK_COMPONENTS_ALL bitmorph runtime standins)
set(CPACK_BITMORPH_PRODUCT_FILE_NAME bitmorph-${PROJECT_VERSION}-${bitmorph_package_system})
set(CPACK_BITMORPH_STANDALONE_FILE_NAME bitmorph-standalone-${PROJECT_VERSION}-${bitmorph_package_system})
set(CPACK_BITMORPH_ARCHIVE_FORMAT ${bitmorph_archive_format})
set(CPACK_BITMORPH_STRIP ${CMAKE_STRIP})
# Where the default timestamp of the archives' entries comes from: the last commit's time.
set(CPACK_BITMORPH_SOURCE_DIR ${PROJECT_SOURCE_DIR})
include(CPack)

# bitmorph_version_resource(<target> <description>): the Windows version resource of one of
# the installed programs or libraries (product name, version, file description), made from
# project(VERSION) and VersionInfo.rc.in.
function(bitmorph_version_resource target description)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(BITMORPH_RC_FILE_TYPE VFT_APP)
  else()
    set(BITMORPH_RC_FILE_TYPE VFT_DLL)
  endif()
  set(BITMORPH_RC_TARGET ${target})
  set(BITMORPH_RC_DESCRIPTION "${description}")
  set(BITMORPH_RC_VERSION_TWEAK 0)
  if(PROJECT_VERSION_TWEAK)
    set(BITMORPH_RC_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
  endif()
  file(READ ${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in template)
  string(CONFIGURE "${template}" resource @ONLY)
  # The file name inside comes from a generator expression, so the file is written at
  # generation time.
  set(rc_file ${CMAKE_BINARY_DIR}/version-resources/${target}.rc)
  file(GENERATE OUTPUT ${rc_file} CONTENT "${resource}")
  target_sources(${target} PRIVATE ${rc_file})
endfunction()

# The executables defined in dir and the folders below it.
function(bitmorph_executables_in dir out)
  set(found)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      list(APPEND found ${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    bitmorph_executables_in(${subdir} more)
    list(APPEND found ${more})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# bitmorph_application_manifests(): every Windows program of the build, the test programs
# included, carries ApplicationManifest.xml as its application manifest (resource 1 of type
# RT_MANIFEST), so that it takes paths past MAX_PATH where the system allows long paths.
# A MinGW-w64 whose start files bring a default manifest (default-manifest.o) would clash
# with it; the toolchain scripts/setup.sh installs has none.
function(bitmorph_application_manifests)
  set(rc_file ${CMAKE_BINARY_DIR}/version-resources/ApplicationManifest.rc)
  # Written only when it changes, so that a new configuration rebuilds nothing.
  file(CONFIGURE OUTPUT ${rc_file} @ONLY CONTENT
       "// Written by CMake: the application manifest of every program (BitmorphPackaging.cmake).
1 24 \"@PROJECT_SOURCE_DIR@/cmake/ApplicationManifest.xml\"
")
  bitmorph_executables_in(${PROJECT_SOURCE_DIR} programs)
  foreach(program IN LISTS programs)
    target_sources(${program} PRIVATE ${rc_file})
    # The resource compiler reports no dependencies: a changed manifest is named here.
    set_property(SOURCE ${rc_file} TARGET_DIRECTORY ${program} APPEND
                 PROPERTY OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/ApplicationManifest.xml)
  endforeach()
endfunction()

# Called at the end of the top-level CMakeLists.txt, when every target exists.
function(bitmorph_finish_packaging)
  set(product_targets bitmorph_launcher bitmorph_jar bitmorph_jni)
  set(product_complete TRUE)
  foreach(target IN LISTS product_targets)
    if(NOT TARGET ${target})
      set(product_complete FALSE)
    endif()
  endforeach()
  if(product_complete)
    # The guard's data: the product's file names in bin64 and the files this build installs.
    get_target_property(jar_file bitmorph_jar JAR_FILE)
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/BitmorphInstallGuard.cmake CONTENT
"# Written by CMake: the product's files, checked before the component bitmorph is installed.
set(BITMORPH_PRODUCT_NAMES \"$<TARGET_FILE_NAME:bitmorph_launcher>;bitmorph.jar;$<TARGET_FILE_NAME:bitmorph_jni>\")
set(BITMORPH_PRODUCT_BUILT \"$<TARGET_FILE:bitmorph_launcher>;${jar_file};$<TARGET_FILE:bitmorph_jni>\")
include(\"${PROJECT_SOURCE_DIR}/cmake/BitmorphInstallGuard.cmake\")
")
  endif()

  # What goes into the packages does not depend on the time it was built: MinGW's linker writes
  # no link time into a library's export table (strip sets the header's).
  if(WIN32)
    foreach(entry IN ITEMS
            "bitmorph_launcher|bitmorph SOF to flash-image converter"
            "bitmorph_jni|bitmorph conversion library"
            "bm_java|bitmorph stand-in Java runtime"
            "bm_jvm|bitmorph stand-in Java virtual machine library"
            "bm_splashscreen|bitmorph stand-in splash-screen library"
            "prexa_cpf|bitmorph stand-in programming-file converter"
            "suite_objcopy|bitmorph stand-in object-copy tool"
            "sofgen|bitmorph SOF writer for test designs")
      string(REPLACE "|" ";" entry "${entry}")
      list(GET entry 0 target)
      list(GET entry 1 description)
      if(TARGET ${target})
        target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
        bitmorph_version_resource(${target} "${description}")
      endif()
    endforeach()
    bitmorph_application_manifests()
  endif()
endfunction()
