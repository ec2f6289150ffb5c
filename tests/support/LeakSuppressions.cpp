// Under LeakSanitizer: leaks inside system libraries that keep caches for the whole process (the
// font configuration Qt loads) are not ours to fix.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
