# The Windows build: kestrafen_core, the real platform (platform/win32), kestrafen.exe with its
# language file next to it, and the platform tests for Wine. XP-capable: only APIs XP has.
# One self-contained executable: no MinGW runtime DLL to ship.
add_link_options(-static -static-libgcc -static-libstdc++)

# The real platform: services and the native drawing of the window model.
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
list(FILTER WIN32_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(kestrafen_win32 STATIC ${WIN32_SOURCES})
target_compile_definitions(kestrafen_win32 PUBLIC _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600 NOMINMAX)
target_link_libraries(kestrafen_win32 PUBLIC kestrafen_core
  urlmon wininet shell32 ole32 oleaut32 uuid wbemuuid comctl32 gdi32 user32 advapi32)

# The program: one executable, with the language file next to it, and its console twin
# kestrafen.com from the same code: cmd and PowerShell wait for a console program (and take its
# exit code), and cmd runs the .com first when one types "kestrafen".
enable_language(RC)
add_executable(kestrafen WIN32 platform/win32/main.cpp platform/win32/kestrafen.rc)
target_link_libraries(kestrafen PRIVATE kestrafen_win32)
add_executable(kestrafen_console platform/win32/main.cpp platform/win32/kestrafen.rc)
target_link_libraries(kestrafen_console PRIVATE kestrafen_win32)
set_target_properties(kestrafen_console PROPERTIES OUTPUT_NAME kestrafen SUFFIX .com)
set(KESTRAFEN_LANGUES "${CMAKE_SOURCE_DIR}/sample-machine/drives/C/Program Files/Kestrafen/langues.ini")
add_custom_command(TARGET kestrafen POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${KESTRAFEN_LANGUES}" $<TARGET_FILE_DIR:kestrafen>/langues.ini)

# GoogleTest from Debian's sources (package googletest), built with the cross compiler.
set(GTEST_SOURCE /usr/src/googletest/googletest)
add_library(gtest_mingw STATIC ${GTEST_SOURCE}/src/gtest-all.cc ${GTEST_SOURCE}/src/gtest_main.cc)
target_include_directories(gtest_mingw SYSTEM PUBLIC ${GTEST_SOURCE}/include PRIVATE ${GTEST_SOURCE})
target_compile_options(gtest_mingw PRIVATE -w)
# The win32 thread model of MinGW's GCC 12 has no std::mutex, which GoogleTest's Notification uses.
target_compile_definitions(gtest_mingw PUBLIC GTEST_HAS_NOTIFICATION_=1)
target_compile_options(gtest_mingw PUBLIC
  -include ${CMAKE_SOURCE_DIR}/cmake/gtest-mingw/NotificationForMinGW.h)

# The platform tests run for real under Wine, driven by a script that prepares what they need
# (a fresh Wine prefix, cabinets made with gcab, an HTTP server on the loopback address).
file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp)
# The binary change logs a test lays into the Wine drive are written as the simulated machine writes them.
add_executable(test_win32 ${WIN32_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/platform/sim/ChangeLogWriter.cpp)
target_include_directories(test_win32 PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(test_win32 PRIVATE kestrafen_win32 gtest_mingw ws2_32)

# A stand-in for srclient.dll that records what it receives and answers as told: the creation and
# removal of points go through the real calls under Wine, whose own System Restore refuses them.
add_library(srclient_standin SHARED ${CMAKE_SOURCE_DIR}/tests/win32/standin/srclient.c)
set_target_properties(srclient_standin PROPERTIES OUTPUT_NAME srclient PREFIX "")
target_link_options(srclient_standin PRIVATE -Wl,--kill-at) # exported as srclient.dll names them
add_dependencies(test_win32 srclient_standin)

# Planted by the test script where a program run as administrator must never look (as
# rundll32.exe, cmd.com and cabinet.dll): each leaves a mark beside itself when run or loaded.
add_executable(planted_marker ${CMAKE_SOURCE_DIR}/tests/win32/standin/marker.c)
add_library(planted_marker_dll SHARED ${CMAKE_SOURCE_DIR}/tests/win32/standin/marker.c)
target_compile_definitions(planted_marker_dll PRIVATE MARKER_DLL)
add_dependencies(test_win32 planted_marker planted_marker_dll)

# The Wine tests run on the loader of this build's width; where the kernel runs no 32-bit program,
# the 32-bit build's tests say so and exit 77, which CTest reports as skipped.
math(EXPR KESTRAFEN_WINE_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
enable_testing()
add_test(NAME win32_platform_under_wine
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/win32/wine_test.sh $<TARGET_FILE:test_win32> $<TARGET_FILE:srclient_standin>
    $<TARGET_FILE:planted_marker> $<TARGET_FILE:planted_marker_dll>)
add_test(NAME win32_window_under_wine
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/win32/window_test.sh $<TARGET_FILE:kestrafen>)
set_tests_properties(win32_platform_under_wine win32_window_under_wine PROPERTIES TIMEOUT 300
  ENVIRONMENT KESTRAFEN_WINE_BITS=${KESTRAFEN_WINE_BITS} SKIP_RETURN_CODE 77 SKIP_REGULAR_EXPRESSION "SKIP: ")
set_tests_properties(win32_window_under_wine PROPERTIES PASS_REGULAR_EXPRESSION "PASS" FAIL_REGULAR_EXPRESSION "FAIL: ")
# The command line of both executables, its output read through a pipe and from a file.
add_test(NAME win32_command_line_under_wine
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/win32/command_line_test.sh $<TARGET_FILE:kestrafen>
    $<TARGET_FILE:kestrafen_console>)
set_tests_properties(win32_command_line_under_wine PROPERTIES TIMEOUT 300
  ENVIRONMENT KESTRAFEN_WINE_BITS=${KESTRAFEN_WINE_BITS} SKIP_RETURN_CODE 77 SKIP_REGULAR_EXPRESSION "SKIP: "
  PASS_REGULAR_EXPRESSION "PASS" FAIL_REGULAR_EXPRESSION "FAIL")

# What the 32-bit program imports must be in the reviewed list of functions XP SP2 exports, and it
# must declare a subsystem version XP runs (5.1 at most).
if(KESTRAFEN_WINE_BITS EQUAL 32)
  find_program(KESTRAFEN_OBJDUMP NAMES ${CMAKE_C_COMPILER_TARGET}-objdump i686-w64-mingw32-objdump REQUIRED)
  add_test(NAME win32_imports_are_in_windows_xp
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/win32/check_imports.sh ${KESTRAFEN_OBJDUMP} $<TARGET_FILE:kestrafen>
      ${CMAKE_SOURCE_DIR}/tests/win32/xp-imports.txt)
  add_test(NAME win32_console_imports_are_in_windows_xp
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/win32/check_imports.sh ${KESTRAFEN_OBJDUMP} $<TARGET_FILE:kestrafen_console>
      ${CMAKE_SOURCE_DIR}/tests/win32/xp-imports.txt)
endif()

include(cmake/WindowsPackage.cmake)
