# End-to-end tests: the real game binary, started in a scratch folder holding
# a copy of the generated res/, on the X server of $DISPLAY.  They share the
# screen, so they never run beside another test.
find_package(X11 REQUIRED COMPONENTS Xtst)
file(GLOB e2e_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/*.cpp)
add_executable(e2e_dromo ${e2e_sources} ${CMAKE_CURRENT_SOURCE_DIR}/support/test_env.cpp)
target_link_libraries(e2e_dromo PRIVATE GTest::gtest GTest::gtest_main X11::X11 X11::Xtst)
target_include_directories(e2e_dromo PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(e2e_dromo PRIVATE DROMO_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                             DROMO_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}")
add_dependencies(e2e_dromo dromo)
if(TARGET dromo_res)
  add_dependencies(e2e_dromo dromo_res)
endif()
gtest_discover_tests(e2e_dromo DISCOVERY_MODE PRE_TEST
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)
