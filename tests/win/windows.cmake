# The Windows build's tests, run under Wine with a private prefix in the build
# tree: the headless suites cross-built for Windows, and the end-to-end
# programs of the Linux build (DROMO_LINUX_BUILD_DIR) driving dromo.exe in
# the X server of $DISPLAY.  A fixture makes the prefix first and stops its
# wineserver last, so no test leaves a process behind.

# Debian ships GoogleTest for Windows only as sources.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

find_program(DROMO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_program(DROMO_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine
             NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(DROMO_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(wine_run ${CMAKE_CURRENT_SOURCE_DIR}/win/wine-run.sh ${DROMO_WINE} ${DROMO_WINEPREFIX})
# Every test program made from here on runs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${wine_run})

add_test(NAME win_prefix COMMAND ${wine_run} wineboot --init)
set_tests_properties(win_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
add_test(NAME win_stop_wineserver
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win/stop-wineserver.sh ${DROMO_WINESERVER} ${DROMO_WINEPREFIX})
set_tests_properties(win_stop_wineserver PROPERTIES FIXTURES_CLEANUP wine)

# The suites that need neither GL nor an X server: rules, records, text,
# the resource parsers, the window procedure and the text entry.
set(win_suites
  test_base test_field test_pieces test_scoring test_game_step test_end_of_game
  test_records test_records_view test_message_base test_texture_list test_tga
  test_window_size test_text_entry test_window_proc test_input_actions
  test_mouse_gestures test_platform)
foreach(name IN LISTS win_suites)
  add_executable(${name} ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp
                         ${CMAKE_CURRENT_SOURCE_DIR}/support/test_env.cpp)
  if(name IN_LIST DROMO_RULES_TESTS)
    target_link_libraries(${name} PRIVATE dromo_test_host dromo_rules gtest gtest_main)
  else()
    target_link_libraries(${name} PRIVATE dromo_core gtest gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE -include ${CMAKE_CURRENT_SOURCE_DIR}/win/posix_compat.h)
  target_compile_definitions(${name} PRIVATE DROMO_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                             DROMO_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}")
  set(filter)
  # POSIX permission bits have no meaning on Windows (a replaced file there
  # has only its attributes).
  if(name STREQUAL test_base)
    set(filter --gtest_filter=-FileUtilTest.AtomicReplaceKeepsOldFileOnFailure)
  endif()
  # Of the platform's own tests: key names, typed text, dispatch and the
  # game pads.  The pump's message-by-message checks are the SDL back end's:
  # Windows itself adds the WM_CHAR of a key press, and ticks in steps of
  # about 16 ms.
  if(name STREQUAL test_platform)
    set(filter --gtest_filter=KeyMapping.*:CharTranslation.*:Dispatch.*:Gamepad.*)
  endif()
  add_test(NAME win_${name} COMMAND ${name} ${filter}
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(win_${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300)
endforeach()

# The end-to-end programs are Linux programs that start the game, watch the
# screen and press keys; here they start dromo.exe under Wine instead.
set(DROMO_LINUX_BUILD_DIR ${CMAKE_SOURCE_DIR}/build CACHE PATH
    "The Linux build whose end-to-end programs drive the Windows game")
list(JOIN wine_run " " wine_run_line)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/dromo-wine.sh
  CONTENT "#!/bin/sh\nexec ${CMAKE_CURRENT_SOURCE_DIR}/win/game-under-wine.sh ${wine_run_line} ${CMAKE_BINARY_DIR}/dromo.exe \"$@\"\n"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/dromo-records-wine.sh
  CONTENT "#!/bin/sh\nexec ${wine_run_line} ${CMAKE_BINARY_DIR}/dromo-records.exe \"$@\"\n"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ)
set(win_e2e_env DROMO_GAME=${CMAKE_BINARY_DIR}/dromo-wine.sh DROMO_BUILD_DIR=${CMAKE_BINARY_DIR})

# Left out here: the sound start-up tests (Wine has no OpenAL: the game
# meets no device, which its wrapper answers) and the font-less X server
# (Wine's boxes draw without the X core fonts); without any X server Wine
# cannot make a window at all, so the game stops one step later than on
# Linux ("not CreateWindowEx"), and no Windows system lacks a display; and
# with no window manager Wine leaves the X focus to the pointer, which the
# Alt+F4 test's focus check rejects (the records test below closes the game
# with Alt+F4 instead).
add_test(NAME win_e2e
  COMMAND ${DROMO_LINUX_BUILD_DIR}/tests/e2e_dromo --gtest_filter=-*WithoutAnXServer*:*AltF4*:FontlessServer.*:Sound/*)
set_tests_properties(win_e2e PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 600
                     ENVIRONMENT "${win_e2e_env}")

# A whole game with real key presses, and quick taps: shape choice, the records file it
# writes (decoded by the Linux build's records code), moves, turns, drops
# until the game is over, the results and back to the shape choice.
add_test(NAME win_play COMMAND ${DROMO_LINUX_BUILD_DIR}/tests/e2e_play
  --gtest_filter=PlayEndToEnd.*:QuickTapsEndToEnd.*)
set_tests_properties(win_play PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 600
                     ENVIRONMENT "${win_e2e_env}")

# A records file goes from the Windows game to the Linux one and back.
add_test(NAME win_records_exchange COMMAND ${DROMO_LINUX_BUILD_DIR}/tests/e2e_win)
set_tests_properties(win_records_exchange PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE
  TIMEOUT 600 ENVIRONMENT
  "DROMO_WIN_GAME=${CMAKE_BINARY_DIR}/dromo-wine.sh;DROMO_WIN_RECORDS=${CMAKE_BINARY_DIR}/dromo-records-wine.sh;DROMO_LINUX_GAME=${DROMO_LINUX_BUILD_DIR}/dromo;DROMO_LINUX_RECORDS=${DROMO_LINUX_BUILD_DIR}/dromo-records;DROMO_BUILD_DIR=${CMAKE_BINARY_DIR}")

# The players' zip, made from this tree.
add_test(NAME win_package COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win/package-test.sh
  ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${CMAKE_OBJDUMP})
set_tests_properties(win_package PROPERTIES TIMEOUT 120)
