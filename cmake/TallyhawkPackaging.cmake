# What a desktop installs besides the programs: the menu entry, the software-centre
# description, the manual pages; and the Debian package made of it all by CPack.

set(TALLYHAWK_APP_ID org.quillmarsh.Tallyhawk)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${TALLYHAWK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${TALLYHAWK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages, from their scdoc source. Required for the package; skipped elsewhere when
# scdoc is missing, so that building and testing need nothing more.
find_program(SCDOC scdoc)
if(TALLYHAWK_PACKAGE AND NOT SCDOC)
    message(FATAL_ERROR "The package needs scdoc for its manual pages (apt-get install scdoc)")
endif()
if(SCDOC)
    set(man_pages "")
    foreach(page tallyhawk.1 tallyhawk-cli.1 tallyhawk-sim.1)
        set(source ${PROJECT_SOURCE_DIR}/docs/man/${page}.scd)
        set(roff ${CMAKE_BINARY_DIR}/man/${page}.gz)
        add_custom_command(OUTPUT ${roff}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
            COMMAND ${SCDOC} < ${source} | gzip -9n > ${roff}
            DEPENDS ${source}
            COMMENT "Writing the manual page ${page}")
        list(APPEND man_pages ${roff})
    endforeach()
    add_custom_target(th_man_pages ALL DEPENDS ${man_pages})
    install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# The package's copyright and change log, where Debian keeps them.
if(TALLYHAWK_PACKAGE)
    set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
    add_custom_command(OUTPUT ${changelog}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
        COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > ${changelog}
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
    add_custom_target(th_changelog ALL DEPENDS ${changelog})
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${changelog}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tallyhawk)
endif()

set(CPACK_PACKAGE_NAME tallyhawk)
set(CPACK_PACKAGE_VENDOR Quillmarsh)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "auction watch list with ending alerts and last-second bids")
set(CPACK_PACKAGE_DESCRIPTION
"Tallyhawk keeps a watch list of auction items and fetches every item's
page on a schedule. It warns before items end, announces new bids,
places automatic bids seconds before the end through a browser window,
keeps the clock in step with public time servers, builds searches and
backs the watch list up. It lives in the notification area.
.
The package also holds tallyhawk-cli, the store's command-line tool, and
tallyhawk-sim, the simulated auction site the demo runs against.")
set(CPACK_PACKAGE_CONTACT "Quillmarsh <tallyhawk@quillmarsh.org>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found at run time, not at link time: the digit font, the menu font of the countdown
# clock, the web engine's helper process and the sound plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dseg, fonts-comic-neue, libqt6webenginecore6-bin, libqt6multimedia6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "systemd")
set(CPACK_GENERATOR DEB)
include(CPack)
