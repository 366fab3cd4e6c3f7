# Signs one Windows program in place with osslsigncode (Authenticode, SHA-256) and time-stamps
# it when a time-stamp server is named. The build runs it for both programs and, from makensis,
# for the uninstaller and the setup program:
#   cmake -DSETTINGS=<settings file> -DFILE=<program> [-DCOPY_TO=<file>] -P SignFile.cmake
# The settings file (written by cmake/Installer.cmake) sets OSSLSIGNCODE; PKCS12, or CERTS and
# KEY (a key file or a PKCS#11 URI) with PKCS11_MODULE; PASSWORD_FILE; TIMESTAMP_URL (RFC 3161);
# NAME and URL (the description and home page the signature carries). COPY_TO keeps a copy of
# the signed file (the uninstaller exists only inside the setup program).
if(NOT SETTINGS OR NOT FILE)
  message(FATAL_ERROR "SignFile.cmake: SETTINGS and FILE must be given")
endif()
include("${SETTINGS}")

if(PKCS12)
  set(arguments sign -pkcs12 "${PKCS12}")
elseif(CERTS AND KEY)
  set(arguments sign -certs "${CERTS}" -key "${KEY}")
  # A key on a hardware token is reached through the token's PKCS#11 module.
  if(PKCS11_MODULE)
    list(APPEND arguments -pkcs11module "${PKCS11_MODULE}")
  endif()
else()
  message(FATAL_ERROR "SignFile.cmake: give PKCS12, or CERTS and KEY")
endif()
list(APPEND arguments -h sha256 -n "${NAME}" -i "${URL}")
# The password is read from a file so that it never shows in a command line.
if(PASSWORD_FILE)
  list(APPEND arguments -readpass "${PASSWORD_FILE}")
endif()
if(TIMESTAMP_URL)
  list(APPEND arguments -ts "${TIMESTAMP_URL}")
  # A time-stamp server may miss a request now and then; three tries, then the build fails.
  set(attempts 1 2 3)
else()
  set(attempts 1)
endif()

set(signed "${FILE}.signed")
foreach(attempt ${attempts})
  file(REMOVE "${signed}")
  execute_process(COMMAND "${OSSLSIGNCODE}" ${arguments} -in "${FILE}" -out "${signed}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0)
    break()
  endif()
endforeach()
if(NOT result EQUAL 0)
  file(REMOVE "${signed}")
  message(FATAL_ERROR "Signing ${FILE} failed:\n${output}")
endif()
file(RENAME "${signed}" "${FILE}")
if(COPY_TO)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E copy "${FILE}" "${COPY_TO}" COMMAND_ERROR_IS_FATAL ANY)
endif()
