# Installation like a Linux desktop tool, and a Debian package built with CPack.
include(GNUInstallDirs)

set(ZEL_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(ZEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zel5100util)
find_program(GZIP gzip REQUIRED)

# Compresses SOURCE into OUTPUT the way Debian wants it: best compression, no
# name or time stamp inside, so that the same source gives the same bytes.
function(zel_gzip source output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${GZIP} -9 -n -c ${source} > ${output}
    DEPENDS ${source}
    COMMENT "Compressing ${output}")
endfunction()

set(ZEL_COMPRESSED "")
foreach(program zel5100util zelctl zel5100-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The page's footer carries the version; it is filled in here, from the one place it is defined.
    configure_file(${ZEL_PACKAGING_DIR}/man/${program}.1.in ${CMAKE_BINARY_DIR}/man/${program}.1 @ONLY)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    zel_gzip(${CMAKE_BINARY_DIR}/man/${program}.1 ${page})
    list(APPEND ZEL_COMPRESSED ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()

configure_file(${ZEL_PACKAGING_DIR}/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
zel_gzip(${CMAKE_BINARY_DIR}/doc/changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz)
list(APPEND ZEL_COMPRESSED ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_target(zel_compressed_docs ALL DEPENDS ${ZEL_COMPRESSED})
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz ${ZEL_PACKAGING_DIR}/copyright
        DESTINATION ${ZEL_DOC_DIR})

if(TARGET zelctl)
  install(FILES ${ZEL_PACKAGING_DIR}/completions/zelctl.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zelctl)
  install(FILES ${ZEL_PACKAGING_DIR}/completions/_zelctl
          DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
endif()

# The exporter's systemd unit (installed disabled: nothing enables it) and the ports
# file it reads, an example that is all comments. Under the prefix /usr, as in the
# package, they go where Debian keeps them, /lib/systemd/system and /etc; under any
# other prefix they stay inside it, so that an install into a scratch folder never
# touches the system's own folders.
if(TARGET zelctl AND ZEL_HAS_EXPORTER)
  configure_file(${ZEL_PACKAGING_DIR}/zel5100.ports ${CMAKE_BINARY_DIR}/etc/ports COPYONLY)
  install(CODE "
    if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
      set(zel_system_root \"\")
    else()
      set(zel_system_root \"\${CMAKE_INSTALL_PREFIX}\")
    endif()
    file(INSTALL DESTINATION \"\${zel_system_root}/lib/systemd/system\" TYPE FILE
         FILES \"${ZEL_PACKAGING_DIR}/zel5100-exporter.service\")
    file(INSTALL DESTINATION \"\${zel_system_root}/etc/zel5100\" TYPE FILE
         FILES \"${CMAKE_BINARY_DIR}/etc/ports\")")
  # dpkg keeps a ports file the user has edited across upgrades and asks before replacing it.
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${ZEL_PACKAGING_DIR}/conffiles)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

if(TARGET zel5100util)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/zel5100util.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # The desktop's icons are the window's own icon, drawn at each size the icon
  # theme looks for.
  set(ZEL_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
  set(ZEL_ICON_SIZES 16 22 24 32 48 64 128 256)
  set(ZEL_ICONS "")
  foreach(size ${ZEL_ICON_SIZES})
    list(APPEND ZEL_ICONS ${ZEL_ICON_DIR}/${size}x${size}/apps/zel5100util.png)
  endforeach()
  add_custom_command(
    OUTPUT ${ZEL_ICONS}
    COMMAND zel_draw_pictures --desktop-icons ${ZEL_ICON_DIR}
    DEPENDS zel_draw_pictures
    COMMENT "Drawing the desktop icons"
    VERBATIM)
  add_custom_target(zel_desktop_icons ALL DEPENDS ${ZEL_ICONS})
  install(DIRECTORY ${ZEL_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  configure_file(${ZEL_PACKAGING_DIR}/zel5100util.metainfo.xml.in
                 ${CMAKE_BINARY_DIR}/com.taviro.zel5100util.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/com.taviro.zel5100util.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zel5100util)
set(CPACK_PACKAGE_VENDOR "Taviro")
set(CPACK_PACKAGE_VERSION ${ZEL_VERSION_TEXT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control utility for the ZEL-5100 transport-stream device")
set(CPACK_PACKAGE_DESCRIPTION
    "The ZEL-5100 converts broadcast transport streams between ASI or SPI and IP.
This package manages it over its RS-232 line: it identifies the unit and its
mode, shows and writes every setting, changes the unit's IP configuration,
reboots it and uploads new firmware.
.
It holds the window zel5100util, the command-line tool zelctl for scripts and
fleets, and the device simulator zel5100-sim, which stands in for a unit when
none is at hand.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
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
