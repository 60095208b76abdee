# The installation and the Debian package, from the optimised tree only (a
# sanitised game is not what players install).  The installed game runs on
# the shared X screen, so it never runs beside another test.
if(NOT DROMO_SANITIZE)
  add_test(NAME Install.InstalledLauncherKeepsRecordsInThePlayersFolder
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/install/installed_game_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(Install.InstalledLauncherKeepsRecordsInThePlayersFolder PROPERTIES
    RUN_SERIAL TRUE TIMEOUT 240 SKIP_RETURN_CODE 77)
  add_test(NAME Install.DebianPackageIsCompleteAndClean
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/install/package_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(Install.DebianPackageIsCompleteAndClean PROPERTIES TIMEOUT 240)
endif()
