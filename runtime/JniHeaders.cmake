# The JNI headers: the installed JDK's portable jni.h with its Linux jni_md.h, or with the
# project's own Windows jni_md.h for the MinGW build. Provides the target bm_jni_headers.
include_guard(GLOBAL)
set(BITMORPH_JDK_HOME "/usr/lib/jvm/java-17-openjdk-amd64" CACHE PATH "JDK whose jni.h is used (and run by the JDK tests)")
if(NOT EXISTS ${BITMORPH_JDK_HOME}/include/jni.h AND DEFINED ENV{JAVA_HOME})
  set(BITMORPH_JDK_HOME "$ENV{JAVA_HOME}" CACHE PATH "" FORCE)
endif()
if(EXISTS ${BITMORPH_JDK_HOME}/include/jni.h AND NOT TARGET bm_jni_headers)
  add_library(bm_jni_headers INTERFACE)
  if(WIN32)
    # The Windows jni_md.h comes first; jni.h itself is the portable header.
    target_include_directories(bm_jni_headers SYSTEM INTERFACE
      ${PROJECT_SOURCE_DIR}/cmake/jni_md_win32 ${BITMORPH_JDK_HOME}/include)
  else()
    target_include_directories(bm_jni_headers SYSTEM INTERFACE
      ${BITMORPH_JDK_HOME}/include ${BITMORPH_JDK_HOME}/include/linux)
  endif()
endif()
