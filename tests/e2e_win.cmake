# The records exchange between the Windows and the Linux game: a Linux
# program that drives both.  It is built here and run by the Windows build's
# tests (tests/win/windows.cmake), which know where dromo.exe and Wine are.
find_package(X11 REQUIRED COMPONENTS Xtst)
file(GLOB e2e_win_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/e2e_win/*.cpp)
add_executable(e2e_win ${e2e_win_sources} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/x_screen.cpp
                       ${CMAKE_CURRENT_SOURCE_DIR}/support/test_env.cpp)
target_compile_definitions(e2e_win PRIVATE DROMO_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                           DROMO_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}")
target_link_libraries(e2e_win PRIVATE GTest::gtest GTest::gtest_main X11::X11 X11::Xtst)
target_include_directories(e2e_win PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(e2e_win dromo dromo-records)
