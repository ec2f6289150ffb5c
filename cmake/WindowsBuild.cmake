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
  cabinet urlmon wininet shell32 ole32 oleaut32 uuid wbemuuid comctl32 gdi32 user32 advapi32)

# The program: one executable, with the language file next to it.
enable_language(RC)
add_executable(kestrafen WIN32 platform/win32/main.cpp platform/win32/kestrafen.rc)
target_link_libraries(kestrafen PRIVATE kestrafen_win32)
set(KESTRAFEN_LANGUES "${CMAKE_SOURCE_DIR}/sample-machine/drives/C/Program Files/Kestrafen/langues.ini")
add_custom_command(TARGET kestrafen POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${KESTRAFEN_LANGUES}" $<TARGET_FILE_DIR:kestrafen>/langues.ini)
