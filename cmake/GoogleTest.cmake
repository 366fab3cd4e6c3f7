# GoogleTest from source (Debian's googletest package puts it in /usr/src/googletest), or an
# installed copy found by find_package, e.g. from vcpkg on Windows.
set(ORVO_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest source folder")
if(EXISTS ${ORVO_GTEST_SOURCE_DIR}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${ORVO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
