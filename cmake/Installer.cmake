# The setup program (NSIS): built after both programs as part of the 64-bit Windows build.
# The NSIS compiler runs on the build machine; Debian's "nsis" package provides it.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  return()  # the setup program installs the 64-bit programs only
endif()

find_program(ORVO_MAKENSIS makensis)
# A cross build is where the setup program is made, so it is on by default there and a missing
# compiler stops the configure; a native Windows build makes it when NSIS is installed.
if(CMAKE_CROSSCOMPILING OR ORVO_MAKENSIS)
  set(ORVO_INSTALLER_DEFAULT ON)
else()
  set(ORVO_INSTALLER_DEFAULT OFF)
endif()
option(ORVO_BUILD_INSTALLER "Build the NSIS setup program" ${ORVO_INSTALLER_DEFAULT})
if(NOT ORVO_BUILD_INSTALLER)
  return()
endif()
if(NOT ORVO_MAKENSIS)
  message(FATAL_ERROR "makensis not found: install NSIS (Debian package nsis) or configure with "
                      "-DORVO_BUILD_INSTALLER=OFF")
endif()

file(STRINGS ${CMAKE_SOURCE_DIR}/resources/version.h ORVO_VERSION_LINE
     REGEX "^#define ORVO_VERSION_STRING \"[0-9.]+\"")
string(REGEX REPLACE ".*\"([0-9.]+)\".*" "\\1" ORVO_VERSION "${ORVO_VERSION_LINE}")
if(NOT ORVO_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "ORVO_VERSION_STRING not found in resources/version.h")
endif()

set(ORVO_INSTALLER_SCRIPT ${CMAKE_SOURCE_DIR}/installer/OrvoPCLock.nsi)
set(ORVO_INSTALLER ${CMAKE_BINARY_DIR}/OrvoPCLock-Setup-${ORVO_VERSION}.exe)
# The build keeps debug information in the programs (several MB); the setup program ships them
# without it.
set(ORVO_STAGE ${CMAKE_BINARY_DIR}/installer-stage)
set(ORVO_STAGE_COMMANDS COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVO_STAGE})
foreach(program OrvoPCLock OrvoPCLockTool)
  if(CMAKE_STRIP)
    list(APPEND ORVO_STAGE_COMMANDS COMMAND ${CMAKE_STRIP} --strip-debug -o ${ORVO_STAGE}/${program}.exe
         $<TARGET_FILE:${program}>)
  else()
    list(APPEND ORVO_STAGE_COMMANDS COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${program}>
         ${ORVO_STAGE}/${program}.exe)
  endif()
endforeach()
add_custom_command(
  OUTPUT ${ORVO_INSTALLER}
  ${ORVO_STAGE_COMMANDS}
  COMMAND ${ORVO_MAKENSIS} -V2 -NOCD
          -DVERSION=${ORVO_VERSION}
          -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -DLOCK_EXE=${ORVO_STAGE}/OrvoPCLock.exe
          -DTOOL_EXE=${ORVO_STAGE}/OrvoPCLockTool.exe
          -DOUTFILE=${ORVO_INSTALLER}
          ${ORVO_INSTALLER_SCRIPT}
  DEPENDS OrvoPCLock OrvoPCLockTool ${ORVO_INSTALLER_SCRIPT} ${CMAKE_SOURCE_DIR}/resources/version.h
          ${CMAKE_SOURCE_DIR}/resources/art/app.ico
  COMMENT "Building the setup program OrvoPCLock-Setup-${ORVO_VERSION}.exe"
  VERBATIM)
add_custom_target(installer ALL DEPENDS ${ORVO_INSTALLER})
