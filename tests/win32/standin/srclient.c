/* A stand-in for the System Restore client library, for tests under Wine: installed in the
 * prefix's system folder, it appends what it receives to the file named by KESTRAFEN_SRCLIENT_LOG
 * (the full path it was loaded from, then one line per call: "set <the 80 bytes in hex>" or
 * "remove <number>") and answers as told by KESTRAFEN_SRCLIENT_SET ("<result> <status>
 * <sequence number>") and KESTRAFEN_SRCLIENT_REMOVE ("<result>"). Untold, it accepts. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        self = instance;
    return TRUE;
}

static void record(const char* line) {
    char path[MAX_PATH], module[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("KESTRAFEN_SRCLIENT_LOG", path, sizeof path))
        return;
    GetModuleFileNameA(self, module, sizeof module);
    FILE* log = fopen(path, "ab");
    if (!log)
        return;
    fprintf(log, "from %s\n%s\n", module, line);
    fclose(log);
}

static void told(const char* name, long long* values, int count) {
    char text[128] = "";
    GetEnvironmentVariableA(name, text, sizeof text);
    char* at = text;
    for (int i = 0; i < count && *at; ++i)
        values[i] = strtoll(at, &at, 10);
}

BOOL WINAPI SRSetRestorePointA(const unsigned char* info, unsigned char* status) {
    char line[8 + 2 * 80 + 1] = "set ";
    for (int i = 0; i < 80; ++i)
        sprintf(line + 4 + 2 * i, "%02x", info[i]);
    record(line);
    long long answer[3] = {1, 0, 1}; /* accepted, ERROR_SUCCESS, point 1 */
    told("KESTRAFEN_SRCLIENT_SET", answer, 3);
    const DWORD code = (DWORD)answer[1];
    memcpy(status, &code, 4); /* STATEMGRSTATUS, packed: nStatus, llSequenceNumber */
    memcpy(status + 4, &answer[2], 8);
    return answer[0] != 0;
}

DWORD WINAPI SRRemoveRestorePoint(DWORD sequenceNumber) {
    char line[32];
    sprintf(line, "remove %lu", (unsigned long)sequenceNumber);
    record(line);
    long long answer[1] = {0};
    told("KESTRAFEN_SRCLIENT_REMOVE", answer, 1);
    return (DWORD)answer[0];
}
