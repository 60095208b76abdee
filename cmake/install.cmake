# Installation in the layout of Debian's games: the launcher and the records
# viewer in games/, the game itself in lib/games/st-dromo/, the resources in
# share/games/st-dromo/res.  The launcher finds both relative to itself, so a
# prefix can be moved.  Package: cpack -G DEB in the build tree.
set(DROMO_INSTALL_LIBEXECDIR lib/games/st-dromo)
set(DROMO_INSTALL_DATADIR share/games/st-dromo)
set(DROMO_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)

configure_file(${DROMO_PACKAGING}/st-dromo.in ${CMAKE_BINARY_DIR}/packaging/st-dromo @ONLY)

install(TARGETS dromo RUNTIME DESTINATION ${DROMO_INSTALL_LIBEXECDIR})
install(TARGETS dromo-records RUNTIME DESTINATION games)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/st-dromo DESTINATION games)
install(DIRECTORY ${CMAKE_BINARY_DIR}/res DESTINATION ${DROMO_INSTALL_DATADIR}
        PATTERN "*.tmp" EXCLUDE)
install(FILES ${DROMO_PACKAGING}/st-dromo.desktop DESTINATION share/applications)
install(FILES ${DROMO_PACKAGING}/st-dromo.metainfo.xml DESTINATION share/metainfo)
foreach(size 48 64 128 256)
  install(FILES ${CMAKE_BINARY_DIR}/icons/st-dromo-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME st-dromo.png)
endforeach()

# Manual pages and the package's documents, compressed as Debian keeps them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(doc_outputs)
foreach(page st-dromo.6 dromo-records.6 changelog)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${page}.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${DROMO_PACKAGING}/${page} > ${CMAKE_BINARY_DIR}/packaging/${page}.gz
    DEPENDS ${DROMO_PACKAGING}/${page}
    VERBATIM)
  list(APPEND doc_outputs ${CMAKE_BINARY_DIR}/packaging/${page}.gz)
endforeach()
add_custom_target(dromo_docs ALL DEPENDS ${doc_outputs})
install(FILES ${CMAKE_BINARY_DIR}/packaging/st-dromo.6.gz ${CMAKE_BINARY_DIR}/packaging/dromo-records.6.gz
        DESTINATION share/man/man6)
install(FILES ${DROMO_PACKAGING}/copyright DESTINATION share/doc/st-dromo)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION share/doc/st-dromo)
# The message base is Windows-1251 on purpose: the bitmap fonts are indexed by it.
install(FILES ${DROMO_PACKAGING}/lintian-overrides DESTINATION share/lintian/overrides
        RENAME st-dromo)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME st-dromo)
set(CPACK_PACKAGE_VERSION 2.0)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "st-DROMO developers <st-dromo@users.noreply.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "st-DROMO developers <st-dromo@users.noreply.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "falling-piece colour-matching puzzle")
set(CPACK_PACKAGE_DESCRIPTION "A piece is a centre cell with a ring of up to eight coloured cells. It falls
into a well; move it, turn its ring and drop it, and straight runs of three
or more cells of one colour vanish. Chains of removing landings earn a
growing bonus, and each of the six well shapes keeps a table of its twenty
best games.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://st-dromo.example")
include(CPack)
