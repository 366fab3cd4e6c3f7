# Native build: the platform-independent units and their unit tests (or, with ORVO_FUZZ, their
# fuzz targets).
add_library(orvo_logic STATIC ${ORVO_PURE_SOURCES_ABS})
target_include_directories(orvo_logic PUBLIC ${CMAKE_SOURCE_DIR})

option(ORVO_FUZZ "Build the libFuzzer targets of tests/fuzz (clang) instead of the unit tests" OFF)
if(ORVO_FUZZ)
  include(${CMAKE_SOURCE_DIR}/cmake/Fuzz.cmake)
  return()
endif()
if(NOT ORVO_BUILD_TESTS)
  return()
endif()
enable_testing()
include(${CMAKE_SOURCE_DIR}/cmake/GoogleTest.cmake)
include(GoogleTest)

file(GLOB ORVO_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(orvo_unit_tests ${ORVO_UNIT_TESTS})
target_link_libraries(orvo_unit_tests PRIVATE orvo_logic GTest::gtest_main)
gtest_discover_tests(orvo_unit_tests DISCOVERY_TIMEOUT 60)

file(GLOB ORVO_NATIVE_EXTRAS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cmake)
foreach(extra ${ORVO_NATIVE_EXTRAS})
  include(${extra})
endforeach()
