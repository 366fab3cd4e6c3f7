# libFuzzer targets (native, clang only): one program per tests/fuzz/*Fuzz.cpp, each linked with
# the platform-independent units, all built with AddressSanitizer and UndefinedBehaviorSanitizer.
# scripts/fuzz.sh configures this with -DORVO_FUZZ=ON and runs the targets.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "ORVO_FUZZ needs clang: configure with -DCMAKE_C_COMPILER=clang "
                      "-DCMAKE_CXX_COMPILER=clang++ (Debian packages clang and libclang-rt-14-dev)")
endif()

# Any undefined behaviour stops the run like a crash, so libFuzzer keeps the input.
set(ORVO_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(orvo_logic PRIVATE ${ORVO_FUZZ_SANITIZERS} -fsanitize=fuzzer-no-link)

file(GLOB ORVO_FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*Fuzz.cpp)
foreach(source ${ORVO_FUZZ_TARGETS})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_compile_options(${name} PRIVATE ${ORVO_FUZZ_SANITIZERS} -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=address,undefined,fuzzer)
  target_link_libraries(${name} PRIVATE orvo_logic)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/fuzz)
endforeach()
