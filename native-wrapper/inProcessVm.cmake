# Build settings of the in-process start: the JNI headers (the JDK's jni.h with the platform's
# jni_md.h) for inProcessVm.cpp.
include(${PROJECT_SOURCE_DIR}/runtime/JniHeaders.cmake)
if(TARGET bm_jni_headers)
  target_link_libraries(bm_launcher_core PRIVATE bm_jni_headers)
else()
  message(FATAL_ERROR "jni.h not found under BITMORPH_JDK_HOME=${BITMORPH_JDK_HOME}; the in-process start needs it")
endif()
