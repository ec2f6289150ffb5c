# The Windows build: kestrafen_core, the real platform (platform/win32), kestrafen.exe with its
# language file next to it, and the platform tests for Wine. XP-capable: only APIs XP has.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 NOMINMAX WIN32_LEAN_AND_MEAN)
# One self-contained executable: no MinGW runtime DLL to ship.
add_link_options(-static -static-libgcc -static-libstdc++)
