# libjpeg for the banner. Linux links the system's libjpeg-turbo; the mingw
# builds cross-compile Debian's own libjpeg-turbo source statically, once per
# build tree.
add_library(corvenna_jpeg INTERFACE)

if(NOT WIN32)
  find_package(JPEG REQUIRED)
  target_link_libraries(corvenna_jpeg INTERFACE JPEG::JPEG)
  return()
endif()

include(ExternalProject)
set(CORVENNA_JPEG_SOURCE_ROOT ${PROJECT_SOURCE_DIR}/build/_deps/libjpeg-turbo-source)
if(NOT EXISTS ${CORVENNA_JPEG_SOURCE_ROOT}/CMakeLists.txt)
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-libjpeg-source.sh ${CORVENNA_JPEG_SOURCE_ROOT}
    RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0)
    message(FATAL_ERROR "Could not fetch the libjpeg-turbo source; run scripts/setup.sh first")
  endif()
endif()

set(jpeg_prefix ${CMAKE_BINARY_DIR}/_deps/libjpeg-turbo)
ExternalProject_Add(libjpeg_turbo_mingw
  SOURCE_DIR ${CORVENNA_JPEG_SOURCE_ROOT}
  BINARY_DIR ${jpeg_prefix}/build
  INSTALL_DIR ${jpeg_prefix}/install
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
    # Absolute: a relative one would be taken from the build directory once
    # its GNUInstallDirs types it as a path.
    -DCMAKE_INSTALL_LIBDIR=<INSTALL_DIR>/lib
    -DENABLE_SHARED=OFF
    -DENABLE_STATIC=ON
    -DWITH_SIMD=OFF
    -DWITH_TURBOJPEG=OFF
    -DWITH_JPEG8=OFF
  BUILD_BYPRODUCTS ${jpeg_prefix}/install/lib/libjpeg.a
  UPDATE_COMMAND ""
  LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)

file(MAKE_DIRECTORY ${jpeg_prefix}/install/include)
add_library(corvenna_jpeg_static STATIC IMPORTED GLOBAL)
set_target_properties(corvenna_jpeg_static PROPERTIES
  IMPORTED_LOCATION ${jpeg_prefix}/install/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${jpeg_prefix}/install/include)
add_dependencies(corvenna_jpeg_static libjpeg_turbo_mingw)
target_link_libraries(corvenna_jpeg INTERFACE corvenna_jpeg_static)
