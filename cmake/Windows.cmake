# Cross build: both programs, the shared system library, the Windows tests and the e2e driver.
enable_language(RC)
set(ORVO_WIN_DEFINITIONS _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX STRICT)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources")

# One static library per folder, each linking only the folders below it, so that a call into a
# folder above fails to link:
#   app -> lockscreen, cover, configui, tray -> ui -> core -> system;  tool -> ui, system;
#   guard -> core;  service -> system.
function(orvo_folder_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/app/Main.cpp ${CMAKE_SOURCE_DIR}/tool/ToolMain.cpp
       ${CMAKE_SOURCE_DIR}/guard/GuardMain.cpp ${CMAKE_SOURCE_DIR}/service/ServiceMain.cpp)
  add_library(${name} STATIC ${sources})
  target_compile_definitions(${name} PUBLIC ${ORVO_WIN_DEFINITIONS})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# Only libraries the loader always takes from System32 (the system's known libraries, and the
# common controls through the manifest) are imported; others (winmm, version, bcrypt, wtsapi32,
# rasapi32) are loaded at run time from System32 by system/SystemLibrary.h, since an imported
# one would be looked for beside the program first.
orvo_folder_library(orvo_system system advapi32 user32 gdi32 shell32 ole32 ntdll comctl32 comdlg32 gdiplus)
orvo_folder_library(orvo_core core orvo_system)
orvo_folder_library(orvo_ui ui orvo_core)
foreach(window lockscreen cover configui tray)
  orvo_folder_library(orvo_${window} ${window} orvo_ui)
endforeach()
orvo_folder_library(orvo_app app orvo_lockscreen orvo_cover orvo_configui orvo_tray)
orvo_folder_library(orvo_tool tool orvo_ui)
orvo_folder_library(orvo_guard guard orvo_core)
orvo_folder_library(orvo_service service orvo_system)

set(ORVO_LOCK_RC ${CMAKE_SOURCE_DIR}/resources/OrvoPCLock.rc)
set(ORVO_TOOL_RC ${CMAKE_SOURCE_DIR}/resources/OrvoPCLockTool.rc)
set(ORVO_GUARD_RC ${CMAKE_SOURCE_DIR}/resources/OrvoPCLockGuard.rc)
set(ORVO_SERVICE_RC ${CMAKE_SOURCE_DIR}/resources/OrvoPCLockService.rc)
foreach(rc ORVO_LOCK_RC ORVO_TOOL_RC ORVO_GUARD_RC ORVO_SERVICE_RC)
  if(NOT EXISTS ${${rc}})
    set(${rc} "")
  endif()
endforeach()

add_executable(OrvoPCLock WIN32 ${CMAKE_SOURCE_DIR}/app/Main.cpp ${ORVO_LOCK_RC})
target_link_libraries(OrvoPCLock PRIVATE orvo_app)

add_executable(OrvoPCLockTool WIN32 ${CMAKE_SOURCE_DIR}/tool/ToolMain.cpp ${ORVO_TOOL_RC})
target_link_libraries(OrvoPCLockTool PRIVATE orvo_tool)

# The guardian's own program: the lock program starts it and cannot do without it.
add_executable(OrvoPCLockGuard WIN32 ${CMAKE_SOURCE_DIR}/guard/GuardMain.cpp ${ORVO_GUARD_RC})
target_link_libraries(OrvoPCLockGuard PRIVATE orvo_guard)
add_dependencies(OrvoPCLock OrvoPCLockGuard)

# The lock service: LocalSystem, installed by the setup beside the lock program.
add_executable(OrvoPCLockService WIN32 ${CMAKE_SOURCE_DIR}/service/ServiceMain.cpp ${ORVO_SERVICE_RC})
target_link_libraries(OrvoPCLockService PRIVATE orvo_service)
include(${CMAKE_SOURCE_DIR}/cmake/Installer.cmake)

if(NOT ORVO_BUILD_TESTS)
  return()
endif()
enable_testing()
include(${CMAKE_SOURCE_DIR}/cmake/GoogleTest.cmake)

# One private Wine prefix and Xvfb display for all Windows tests, made once per ctest run.
set(ORVO_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
add_test(NAME wine_setup COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-fixture.sh start ${ORVO_WINE_DIR})
add_test(NAME wine_cleanup COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-fixture.sh stop ${ORVO_WINE_DIR})
set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 180 RUN_SERIAL TRUE)
set_tests_properties(wine_cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60 RUN_SERIAL TRUE)
# A second prefix whose display reports 144 DPI (150 %), for the display scaling test.
set(ORVO_WINE_DPI_DIR ${CMAKE_BINARY_DIR}/wine-dpi)
add_test(NAME wine_setup_dpi COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-fixture.sh start ${ORVO_WINE_DPI_DIR} 144)
add_test(NAME wine_cleanup_dpi COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-fixture.sh stop ${ORVO_WINE_DPI_DIR})
set_tests_properties(wine_setup_dpi PROPERTIES FIXTURES_SETUP wine_dpi TIMEOUT 180 RUN_SERIAL TRUE)
set_tests_properties(wine_cleanup_dpi PROPERTIES FIXTURES_CLEANUP wine_dpi TIMEOUT 60 RUN_SERIAL TRUE)

# Windows tests: one program per tests/win/*Test.cpp, run under Wine.
file(GLOB ORVO_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*Test.cpp)
file(GLOB ORVO_WIN_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/support/*.cpp)
# Compiled once and linked into every test program (an object library keeps every object, as
# listing the sources in each program did).
add_library(orvo_win_test_support OBJECT ${ORVO_WIN_TEST_SUPPORT})
target_link_libraries(orvo_win_test_support PUBLIC orvo_app GTest::gtest)
target_include_directories(orvo_win_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/win)
foreach(test_source ${ORVO_WIN_TESTS})
  get_filename_component(name ${test_source} NAME_WE)
  add_executable(win_${name} ${test_source})
  target_link_libraries(win_${name} PRIVATE orvo_win_test_support orvo_app GTest::gtest_main)
  if(name MATCHES "^(Tool|DisplayScaling)")
    target_link_libraries(win_${name} PRIVATE orvo_tool)
  endif()
  target_include_directories(win_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/win)
  add_test(NAME win_${name} COMMAND win_${name})
  set_tests_properties(win_${name} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 300
                       ENVIRONMENT "ORVO_WINE_DIR=${ORVO_WINE_DIR}" LABELS win)
endforeach()
if(TEST win_DisplayScalingTest)
  set_tests_properties(win_DisplayScalingTest PROPERTIES FIXTURES_REQUIRED wine_dpi
                       ENVIRONMENT "ORVO_WINE_DIR=${ORVO_WINE_DPI_DIR}")
endif()

# End-to-end: a driver program plus one script per scenario, each with its own prefix and display.
file(GLOB ORVO_DRIVER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/driver/*.cpp)
if(ORVO_DRIVER_SOURCES)
  add_executable(orvo_driver ${ORVO_DRIVER_SOURCES})
  target_link_libraries(orvo_driver PRIVATE orvo_core)
  # The hook library the driver puts into the program under test to read its pop-up menu.
  add_library(orvo_menuprobe SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/driver/hook/MenuProbe.cpp)
  set_target_properties(orvo_menuprobe PROPERTIES PREFIX "")
  target_link_libraries(orvo_menuprobe PRIVATE user32)
  if(NOT MSVC)
    target_link_options(orvo_menuprobe PRIVATE -static)
  endif()
  add_dependencies(orvo_driver orvo_menuprobe)
endif()
file(GLOB ORVO_E2E_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.sh)
foreach(script ${ORVO_E2E_SCRIPTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e_${name} COMMAND bash ${script})
  set_tests_properties(e2e_${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600 LABELS e2e
                       ENVIRONMENT "ORVO_BUILD_DIR=${CMAKE_BINARY_DIR};ORVO_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endforeach()

# Benchmark programs of tests/bench (each *.cmake there adds its own).
file(GLOB ORVO_BENCH_EXTRAS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cmake)
foreach(extra ${ORVO_BENCH_EXTRAS})
  include(${extra})
endforeach()

# The screenshot program of the tour.
include(${CMAKE_SOURCE_DIR}/scripts/tour/LockScreenShots.cmake)
