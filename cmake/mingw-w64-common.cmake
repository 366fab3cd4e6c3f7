# Shared part of the mingw-w64 toolchain files; ORVO_MINGW_TRIPLET names the target.
set(CMAKE_C_COMPILER ${ORVO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVO_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# libstdc++, libgcc and winpthread linked in, so the programs run on a clean Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Windows test programs run under Wine; the script picks the test's prefix and display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
