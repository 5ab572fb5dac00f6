# Targets shared by the runtime and chain tests (whichever folder is configured first makes
# them): the test library echojni, the test jars and the helper library runtime_test_support.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/RuntimeTestPaths.cmake)
set(runtime_test_source_dir ${CMAKE_CURRENT_LIST_DIR})
set(runtime_test_binary_dir ${CMAKE_BINARY_DIR}/tests/runtime)
bitmorph_require("the runtime and chain tests" bm_runtime_core bm_jni_arguments)

set(test_jar_dir ${runtime_test_binary_dir}/jars)
file(MAKE_DIRECTORY ${test_jar_dir})

# The test library; it lies beside the jars, where the classes load it from.
add_library(echojni MODULE ${runtime_test_source_dir}/EchoNative.cpp)
target_link_libraries(echojni PRIVATE bm_jni_arguments)
set_target_properties(echojni PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${test_jar_dir}
  RUNTIME_OUTPUT_DIRECTORY ${test_jar_dir} CXX_VISIBILITY_PRESET hidden)
if(WIN32)
  set_target_properties(echojni PROPERTIES PREFIX "")
endif()

find_package(Java 11 COMPONENTS Development REQUIRED)
include(UseJava)
set(CMAKE_JAVA_COMPILE_FLAGS --release 11)
file(GLOB test_classes CONFIGURE_DEPENDS ${runtime_test_source_dir}/java/test/*.java)
file(WRITE ${runtime_test_binary_dir}/echo.manifest "Native-Library: echojni\n")
file(WRITE ${runtime_test_binary_dir}/missing.manifest "Native-Library: nosuchlibrary\n")
add_jar(runtime_echo_jar SOURCES ${test_classes} OUTPUT_NAME echo OUTPUT_DIR ${test_jar_dir}
        MANIFEST ${runtime_test_binary_dir}/echo.manifest)
add_jar(runtime_missing_jar SOURCES ${runtime_test_source_dir}/java/test/EchoMain.java OUTPUT_NAME missinglib
        OUTPUT_DIR ${runtime_test_binary_dir}/jars-missing MANIFEST ${runtime_test_binary_dir}/missing.manifest)

add_library(runtime_test_support STATIC ${runtime_test_source_dir}/RuntimeTestSupport.cpp)
target_include_directories(runtime_test_support PUBLIC ${runtime_test_source_dir})
target_link_libraries(runtime_test_support PUBLIC bm_platform bm_hostText bm_test_support)
bitmorph_host_path(${runtime_test_binary_dir}/scratch scratch_dir)
file(MAKE_DIRECTORY ${runtime_test_binary_dir}/scratch)
target_compile_definitions(runtime_test_support PUBLIC TEST_SCRATCH_DIR="${scratch_dir}"
  TEST_WINDOWS=$<BOOL:${WIN32}>)

