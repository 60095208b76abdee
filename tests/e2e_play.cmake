# The end-to-end play test: a whole game on the real binary under X, keys
# through XTEST.  It shares the screen and wants the machine to itself, so it
# never runs beside another test.  It links the game core only to compute
# where the game draws things and to read the records file.
find_package(X11 REQUIRED COMPONENTS Xtst)
file(GLOB e2e_play_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/e2e_play/*.cpp)
add_executable(e2e_play ${e2e_play_sources} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/game_run.cpp
                        ${CMAKE_CURRENT_SOURCE_DIR}/e2e/x_screen.cpp
                        ${CMAKE_CURRENT_SOURCE_DIR}/support/test_env.cpp)
target_compile_definitions(e2e_play PRIVATE DROMO_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                            DROMO_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}")
target_link_libraries(e2e_play PRIVATE dromo_core GTest::gtest GTest::gtest_main X11::X11 X11::Xtst)
target_include_directories(e2e_play PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(e2e_play dromo)
if(TARGET dromo_res)
  add_dependencies(e2e_play dromo_res)
endif()
gtest_discover_tests(e2e_play DISCOVERY_MODE PRE_TEST
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  PROPERTIES RUN_SERIAL TRUE TIMEOUT 150)
