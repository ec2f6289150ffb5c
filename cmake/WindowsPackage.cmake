# The release: a zip whose one top folder (Kestrafen-1.3D-win32) holds the program and, where
# makensis is installed, an installer that puts the program in Program Files with a Start-menu
# entry and an uninstaller. Both hold the program, its console twin, its language file and a short
# note for Windows users.
install(TARGETS kestrafen kestrafen_console RUNTIME DESTINATION .)
install(FILES "${KESTRAFEN_LANGUES}" ${CMAKE_SOURCE_DIR}/packaging/LISEZMOI.txt
  ${CMAKE_SOURCE_DIR}/packaging/README.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KESTRAFEN_PACKAGE_ARCH win64)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
else()
  set(KESTRAFEN_PACKAGE_ARCH win32)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
endif()
set(CPACK_PACKAGE_NAME Kestrafen)
set(CPACK_PACKAGE_VENDOR Kestrafen)
set(CPACK_PACKAGE_VERSION 1.3D)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Restore points of Windows XP's System Restore")
set(KESTRAFEN_PACKAGE_FILE Kestrafen-1.3D-${KESTRAFEN_PACKAGE_ARCH})
set(CPACK_PACKAGE_FILE_NAME ${KESTRAFEN_PACKAGE_FILE})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Kestrafen)
set(CPACK_GENERATOR ZIP)

find_program(KESTRAFEN_MAKENSIS makensis)
if(KESTRAFEN_MAKENSIS)
  list(APPEND CPACK_GENERATOR NSIS)
  set(CPACK_NSIS_EXECUTABLE "${KESTRAFEN_MAKENSIS}")
  set(CPACK_NSIS_PACKAGE_NAME "Kestrafen 1.3D")
  set(CPACK_NSIS_DISPLAY_NAME "Kestrafen 1.3D")
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Kestrafen)
  set(CPACK_NSIS_INSTALLED_ICON_NAME kestrafen.exe)
  # Start menu: the program and its note. The uninstaller deletes the files it installed one by
  # one and then the folder only if empty, so settings and anything a user put there stay.
  set(CPACK_PACKAGE_EXECUTABLES kestrafen "Kestrafen")
  set(CPACK_NSIS_MENU_LINKS LISEZMOI.txt "Lisez-moi")
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  # The program's own leftovers go too: the change listing's cabinet and the folder unpacked
  # from it. Program Files is writable by administrators only, so nothing was planted in them.
  set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "RMDir /r '$INSTDIR\\\\res'\nDelete '$INSTDIR\\\\res.cab'")
  # The installer writes Program Files and HKLM: it asks for administrator rights.
  set(CPACK_NSIS_DEFINES "RequestExecutionLevel admin")
endif()
include(CPack)

# The installer, installed and uninstalled under Wine (made by the package target, which
# scripts/test-windows.sh builds before the tests; skipped when it is not there). NSIS installers
# are 32-bit programs, the 64-bit one too.
if(KESTRAFEN_MAKENSIS)
  add_test(NAME win32_installer_under_wine COMMAND sh ${CMAKE_SOURCE_DIR}/tests/win32/installer_test.sh
    ${CMAKE_BINARY_DIR}/${KESTRAFEN_PACKAGE_FILE}.exe)
  # Its steps each say PASS: a FAIL of a later step must still fail the test.
  set_tests_properties(win32_installer_under_wine PROPERTIES TIMEOUT 300 PASS_REGULAR_EXPRESSION "PASS"
    FAIL_REGULAR_EXPRESSION "FAIL: "
    ENVIRONMENT KESTRAFEN_WINE_BITS=32 SKIP_RETURN_CODE 77 SKIP_REGULAR_EXPRESSION "SKIP: ")
endif()
