# Benchmark programs (scripts/bench.sh runs them and prints their figures). The Windows ones
# run under Wine on the bench's Xvfb display.
if(WIN32)
  add_executable(orvo_ulw_bench ${CMAKE_CURRENT_LIST_DIR}/UlwBench.cpp)
  target_link_libraries(orvo_ulw_bench PRIVATE orvo_system)
endif()
