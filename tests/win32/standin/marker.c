/* A program (or, built with MARKER_DLL, a DLL) planted where the program must never look: run or
 * loaded, it leaves an empty "<its own path>.ran" beside itself, which wine_test.sh looks for. */
#include <windows.h>

static void mark(HMODULE self) {
    char path[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    lstrcpyA(path + length, ".ran");
    const HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

#ifdef MARKER_DLL
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        mark(instance);
    return TRUE;
}
#else
int main(void) {
    mark(NULL);
    return 0;
}
#endif
