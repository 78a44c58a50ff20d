# What `cmake --install` puts where, and the Debian package CPack makes of it.

# The man pages are written in scdoc and made at build time, compressed as Debian ships them.
find_program(SCDOC scdoc REQUIRED)
set(MAN_PAGES)
foreach(page papyra.1 papyra-admin.1)
    set(source ${PROJECT_SOURCE_DIR}/docs/man/${page}.scd)
    set(made ${CMAKE_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${made}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND sh -c "'${SCDOC}' < '${source}' | gzip -9n > '${made}'"
        DEPENDS ${source}
        COMMENT "Man page ${page}"
        VERBATIM)
    list(APPEND MAN_PAGES ${made})
endforeach()
add_custom_target(man ALL DEPENDS ${MAN_PAGES})

install(TARGETS papyra papyra-admin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
file(GLOB DOC_IMAGES ${PROJECT_SOURCE_DIR}/docs/*.png)
install(FILES README.md docs/administrators.md ${DOC_IMAGES}
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/papyra)

# One package, papyra, for the machine it is built on. Its dependencies are what dpkg-shlibdeps
# finds the two programs linked against, plus the font that stands in for Courier New.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME papyra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Papyra maintainers <papyra@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "printing bridge for Harvex reports")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Papyra puts Harvex's report files on paper: a tractor-fed dot-matrix printer
gets the report as raw ESC/P bytes, any other CUPS printer gets the pages drawn
in Courier New. papyra-admin lists, configures, previews and checks its
printers.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fontconfig")
# The folder the programs are built to know as theirs (InstallDirs.h) is where the package puts
# them.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
include(CPack)
