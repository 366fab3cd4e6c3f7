# Benchmark programs (scripts/bench.sh runs them and prints their figures). The Windows ones
# run under Wine on the bench's Xvfb display.
if(WIN32)
  add_executable(orvo_ulw_bench ${CMAKE_CURRENT_LIST_DIR}/UlwBench.cpp)
  target_link_libraries(orvo_ulw_bench PRIVATE orvo_system)
  add_executable(orvo_empty_program WIN32 ${CMAKE_CURRENT_LIST_DIR}/EmptyProgram.cpp)
  # The drawing bench needs the program's lock window and cover.
  if(EXISTS ${CMAKE_SOURCE_DIR}/lockscreen/LockWindow.cpp AND EXISTS ${CMAKE_SOURCE_DIR}/cover/PrimaryCover.cpp)
    add_executable(orvo_draw_bench ${CMAKE_CURRENT_LIST_DIR}/DrawBench.cpp
                   ${CMAKE_SOURCE_DIR}/tests/win/support/SessionSupport.cpp ${ORVO_LOCK_RC})
    target_link_libraries(orvo_draw_bench PRIVATE orvo_app)
    target_include_directories(orvo_draw_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/win)
  endif()
endif()
