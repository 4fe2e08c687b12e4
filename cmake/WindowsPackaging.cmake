# The Windows programs as a ZIP and an NSIS installer (make windows-package): zelctl.exe,
# zel5100-sim.exe (and the window, where Qt is there to build it), the README and the
# licence, stripped of their debugging symbols.
foreach(program zel5100util zelctl zel5100-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION .)
  endif()
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_PACKAGE_NAME zel5100util)
set(CPACK_PACKAGE_VENDOR "Taviro")
set(CPACK_PACKAGE_VERSION ${ZEL_VERSION_TEXT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control utility for the ZEL-5100 transport-stream device")
set(CPACK_PACKAGE_FILE_NAME zel5100util-${ZEL_VERSION_TEXT}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "ZEL-5100 Utility")
set(CPACK_STRIP_FILES ON)
# NSIS shows the licence on a page of its own; it wants a file with an extension.
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt COPYONLY)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt)
set(CPACK_NSIS_DISPLAY_NAME "ZEL-5100 Utility ${ZEL_VERSION_TEXT}")
set(CPACK_NSIS_PACKAGE_NAME "ZEL-5100 Utility")
set(CPACK_NSIS_EXECUTABLE makensis)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
include(CPack)
