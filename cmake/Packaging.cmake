# Installation like a Linux desktop tool, and a Debian package built with CPack.
include(GNUInstallDirs)

foreach(program zel5100util zelctl zel5100-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# Man pages are made from the programs' own --help, so they never drift from it.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(ZEL_MAN_zelctl "command-line control of ZEL-5100 devices over a serial line")
  set(ZEL_MAN_zel5100-sim "ZEL-5100 device simulator on a pseudo-terminal")
  foreach(program zelctl zel5100-sim)
    if(TARGET ${program})
      set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
      add_custom_command(
        OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1
                --version-string=${ZEL_VERSION_TEXT} --name=${ZEL_MAN_${program}}
                --output=${page} $<TARGET_FILE:${program}>
        DEPENDS ${program}
        COMMENT "Writing the man page of ${program}"
        VERBATIM)
      add_custom_target(man-${program} ALL DEPENDS ${page})
      install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
  endforeach()
endif()

if(TARGET zel5100util)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/zel5100util.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_BINARY_DIR}/app/pictures/icon128.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps
          RENAME zel5100util.png)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zel5100util)
set(CPACK_PACKAGE_VENDOR "Taviro")
set(CPACK_PACKAGE_VERSION ${ZEL_VERSION_TEXT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control utility for the ZEL-5100 transport-stream device")
set(CPACK_PACKAGE_CONTACT "Taviro <support@taviro.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# Library dependencies are read off the programs; the Qt platform plugins are loaded
# at run time, so no linker can see that the window needs them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
include(CPack)
