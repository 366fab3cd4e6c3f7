# The setup program (NSIS): built after both programs as part of the 64-bit Windows build.
# The NSIS compiler runs on the build machine; Debian's "nsis" package provides it.

# The programs are signed where the setup program is staged: a build without one would leave
# them unsigned although a certificate was given.
macro(orvo_refuse_signing why)
  if(ORVO_SIGN_PKCS12 OR ORVO_SIGN_CERTS OR ORVO_SIGN_KEY)
    message(FATAL_ERROR "Signing is done while the setup program is built, and ${why}")
  endif()
endmacro()

if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  orvo_refuse_signing("this 32-bit build makes none")
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
  orvo_refuse_signing("ORVO_BUILD_INSTALLER is off")
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

file(STRINGS ${CMAKE_SOURCE_DIR}/resources/version.h ORVO_HOME_URL_LINE REGEX "^#define ORVO_HOME_URL \"")
string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" ORVO_HOME_URL "${ORVO_HOME_URL_LINE}")

# Signed builds. A release is built with the publisher's code-signing certificate; then both
# programs, the uninstaller and the setup program carry an Authenticode signature made with
# osslsigncode (Debian package osslsigncode). The certificate and key come either as one
# PKCS#12 file or as a certificate chain with a key (a file, or a PKCS#11 URI with the token's
# module). See "Signed builds" in README.md.
set(ORVO_SIGN_PKCS12 "" CACHE FILEPATH "Code-signing certificate with its key (PKCS#12: .p12 or .pfx)")
set(ORVO_SIGN_CERTS "" CACHE FILEPATH "Code-signing certificate chain (PEM or DER), used with ORVO_SIGN_KEY")
set(ORVO_SIGN_KEY "" CACHE STRING "Private key of ORVO_SIGN_CERTS: a key file or a PKCS#11 URI")
set(ORVO_SIGN_PKCS11_MODULE "" CACHE FILEPATH "PKCS#11 module of the token that holds ORVO_SIGN_KEY")
set(ORVO_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File whose first line is the password of the key; empty: none")
set(ORVO_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server for the signatures; empty: no time stamp")
set(ORVO_SIGN_COMMAND "")
if(ORVO_SIGN_PKCS12 OR ORVO_SIGN_CERTS OR ORVO_SIGN_KEY)
  if(NOT ORVO_SIGN_PKCS12 AND NOT (ORVO_SIGN_CERTS AND ORVO_SIGN_KEY))
    message(FATAL_ERROR "Signing needs ORVO_SIGN_PKCS12, or both ORVO_SIGN_CERTS and ORVO_SIGN_KEY")
  endif()
  find_program(ORVO_OSSLSIGNCODE osslsigncode)
  if(NOT ORVO_OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode (Debian package osslsigncode)")
  endif()
  foreach(file ORVO_SIGN_PKCS12 ORVO_SIGN_CERTS ORVO_SIGN_PASSWORD_FILE)
    if(${file} AND NOT EXISTS "${${file}}")
      message(FATAL_ERROR "${file}: ${${file}} does not exist")
    endif()
  endforeach()
  if(NOT ORVO_SIGN_TIMESTAMP_URL)
    message(WARNING "Signing without a time stamp (ORVO_SIGN_TIMESTAMP_URL): the signatures stop "
                    "being valid when the certificate expires.")
  endif()
  # The signing step reads its settings from a file: a PKCS#11 URI holds semicolons, which a
  # CMake command line would split, and makensis passes its commands through the shell.
  set(ORVO_SIGN_SETTINGS ${CMAKE_BINARY_DIR}/signing-settings.cmake)
  set(settings "")
  foreach(name OSSLSIGNCODE PKCS12 CERTS KEY PKCS11_MODULE PASSWORD_FILE TIMESTAMP_URL)
    if(name STREQUAL "OSSLSIGNCODE")
      set(value "${ORVO_OSSLSIGNCODE}")
    else()
      set(value "${ORVO_SIGN_${name}}")
    endif()
    string(APPEND settings "set(${name} [==[${value}]==])\n")
  endforeach()
  string(APPEND settings "set(NAME [==[Orvo PC Lock]==])\nset(URL [==[${ORVO_HOME_URL}]==])\n")
  # Rewritten only when it changes, since every change signs everything again.
  file(WRITE ${ORVO_SIGN_SETTINGS}.new "${settings}")
  configure_file(${ORVO_SIGN_SETTINGS}.new ${ORVO_SIGN_SETTINGS} COPYONLY)
  set(ORVO_SIGN_COMMAND ${CMAKE_COMMAND} -DSETTINGS=${ORVO_SIGN_SETTINGS})
endif()

set(ORVO_INSTALLER_SCRIPT ${CMAKE_SOURCE_DIR}/installer/OrvoPCLock.nsi)
set(ORVO_INSTALLER ${CMAKE_BINARY_DIR}/OrvoPCLock-Setup-${ORVO_VERSION}.exe)
# The build keeps debug information in the programs (several MB); the setup program ships them
# without it.
set(ORVO_STAGE ${CMAKE_BINARY_DIR}/installer-stage)
# The signed uninstaller's copy of an earlier signed build must not outlive a change of mind.
set(ORVO_STAGE_COMMANDS COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVO_STAGE}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${ORVO_STAGE}/Uninstall.exe)
foreach(program OrvoPCLock OrvoPCLockTool OrvoPCLockGuard OrvoPCLockService)
  if(CMAKE_STRIP)
    list(APPEND ORVO_STAGE_COMMANDS COMMAND ${CMAKE_STRIP} --strip-debug -o ${ORVO_STAGE}/${program}.exe
         $<TARGET_FILE:${program}>)
  else()
    list(APPEND ORVO_STAGE_COMMANDS COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${program}>
         ${ORVO_STAGE}/${program}.exe)
  endif()
  # Signed after stripping: any later change to the file would break the signature.
  if(ORVO_SIGN_COMMAND)
    list(APPEND ORVO_STAGE_COMMANDS COMMAND ${ORVO_SIGN_COMMAND} -DFILE=${ORVO_STAGE}/${program}.exe
         -P ${CMAKE_SOURCE_DIR}/cmake/SignFile.cmake)
  endif()
endforeach()
# makensis signs the uninstaller before it packs it and the setup program once it is written.
# A copy of the signed uninstaller stays in the stage folder, where the test command checks
# its signature.
set(ORVO_NSIS_SIGN "")
set(ORVO_SIGN_DEPENDS "")
if(ORVO_SIGN_COMMAND)
  set(ORVO_NSIS_SIGN "-DSIGN=\"${CMAKE_COMMAND}\" \"-DSETTINGS=${ORVO_SIGN_SETTINGS}\""
      "-DSIGN_SCRIPT=${CMAKE_SOURCE_DIR}/cmake/SignFile.cmake" "-DSIGNED_UNINSTALLER_COPY=${ORVO_STAGE}/Uninstall.exe")
  # Another certificate or other settings sign everything again.
  set(ORVO_SIGN_DEPENDS ${ORVO_SIGN_SETTINGS} ${ORVO_SIGN_PKCS12} ${ORVO_SIGN_CERTS})
endif()
add_custom_command(
  OUTPUT ${ORVO_INSTALLER}
  ${ORVO_STAGE_COMMANDS}
  COMMAND ${ORVO_MAKENSIS} -V2 -NOCD
          -DVERSION=${ORVO_VERSION}
          -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -DLOCK_EXE=${ORVO_STAGE}/OrvoPCLock.exe
          -DTOOL_EXE=${ORVO_STAGE}/OrvoPCLockTool.exe
          -DGUARD_EXE=${ORVO_STAGE}/OrvoPCLockGuard.exe
          -DSERVICE_EXE=${ORVO_STAGE}/OrvoPCLockService.exe
          -DOUTFILE=${ORVO_INSTALLER}
          ${ORVO_NSIS_SIGN}
          ${ORVO_INSTALLER_SCRIPT}
  DEPENDS OrvoPCLock OrvoPCLockTool OrvoPCLockGuard OrvoPCLockService ${ORVO_INSTALLER_SCRIPT} ${CMAKE_SOURCE_DIR}/resources/version.h
          ${CMAKE_SOURCE_DIR}/resources/art/app.ico ${CMAKE_SOURCE_DIR}/cmake/SignFile.cmake
          ${ORVO_SIGN_DEPENDS}
  COMMENT "Building the setup program OrvoPCLock-Setup-${ORVO_VERSION}.exe"
  VERBATIM)
add_custom_target(installer ALL DEPENDS ${ORVO_INSTALLER})

# The package for fleets (Windows Installer), made with wixl from the same staged, signed
# programs, with the policy template inside. wixl takes only relative source paths, so it runs
# in the stage folder; it knows neither feature conditions nor shortcut keys, which msibuild
# (both from Debian's msitools and wixl packages) adds to its tables afterwards. A feature whose
# level is 0 while the package is removed stays behind, so the condition only ever turns the
# start at logon off, and only on a first installation.
find_program(ORVO_WIXL wixl)
find_program(ORVO_MSIBUILD msibuild)
if(NOT ORVO_WIXL OR NOT ORVO_MSIBUILD)
  message(FATAL_ERROR "wixl or msibuild not found: install the Debian packages wixl and msitools, or "
                      "configure with -DORVO_BUILD_INSTALLER=OFF")
endif()
set(ORVO_MSI ${CMAKE_BINARY_DIR}/OrvoPCLock-${ORVO_VERSION}.msi)
set(ORVO_MSI_SCRIPT ${CMAKE_SOURCE_DIR}/installer/OrvoPCLock.wxs)
set(ORVO_POLICY_DIR ${CMAKE_SOURCE_DIR}/installer/policy)
set(ORVO_MSI_SIGN "")
if(ORVO_SIGN_COMMAND)
  set(ORVO_MSI_SIGN COMMAND ${ORVO_SIGN_COMMAND} -DFILE=${ORVO_MSI} -P ${CMAKE_SOURCE_DIR}/cmake/SignFile.cmake)
endif()
# Ctrl + Alt + Shift + F12 for "Lock Computer", as the setup program makes it: the key code in
# the low byte, the modifiers (Shift 1, Ctrl 2, Alt 4) in the high one.
math(EXPR ORVO_LOCK_HOTKEY "(7 << 8) | 0x7B")
add_custom_command(
  OUTPUT ${ORVO_MSI}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${ORVO_POLICY_DIR} ${ORVO_STAGE}/policy
  COMMAND ${CMAKE_COMMAND} -E rm -f ${ORVO_MSI}
  COMMAND ${ORVO_WIXL} -a x64 -D Version=${ORVO_VERSION} -D LockExe=OrvoPCLock.exe -D ToolExe=OrvoPCLockTool.exe
          -D GuardExe=OrvoPCLockGuard.exe -D ServiceExe=OrvoPCLockService.exe
          -D PolicyDir=policy -o ${ORVO_MSI} ${ORVO_MSI_SCRIPT}
  COMMAND ${ORVO_MSIBUILD} ${ORVO_MSI}
          -q "CREATE TABLE `Condition` (`Feature_` CHAR(38) NOT NULL, `Level` SHORT NOT NULL, `Condition` CHAR(255) PRIMARY KEY `Feature_`, `Level`)"
          -q "INSERT INTO `Condition` (`Feature_`, `Level`, `Condition`) VALUES ('LogonStart', 0, 'NOT Installed AND STARTUPLOCK <> \"1\" AND STARTATLOGON <> \"1\"')"
          -q "INSERT INTO `Condition` (`Feature_`, `Level`, `Condition`) VALUES ('Service', 0, 'NOT Installed AND NOSERVICE = \"1\"')"
          -q "UPDATE `Shortcut` SET `Hotkey` = ${ORVO_LOCK_HOTKEY} WHERE `Shortcut` = 'LockNowShortcut'"
  ${ORVO_MSI_SIGN}
  # The setup program's build stages and signs the programs; this one takes them from there.
  DEPENDS ${ORVO_INSTALLER} ${ORVO_MSI_SCRIPT} ${ORVO_POLICY_DIR}/OrvoPCLock.admx
          ${ORVO_POLICY_DIR}/en-US/OrvoPCLock.adml ${CMAKE_SOURCE_DIR}/resources/version.h
  WORKING_DIRECTORY ${ORVO_STAGE}
  COMMENT "Building the Windows Installer package OrvoPCLock-${ORVO_VERSION}.msi"
  VERBATIM)
add_custom_target(msi ALL DEPENDS ${ORVO_MSI})
