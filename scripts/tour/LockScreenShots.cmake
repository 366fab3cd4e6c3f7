# The program that takes the pictures of the lock window's screens (scripts/lock-screens.sh,
# run by scripts/tour.sh). Not a test: ctest does not run it.
add_executable(orvo_lock_screen_shots ${CMAKE_CURRENT_LIST_DIR}/LockScreenShots.cpp)
target_link_libraries(orvo_lock_screen_shots PRIVATE orvo_win_test_support orvo_app GTest::gtest_main)
