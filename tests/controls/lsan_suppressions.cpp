// Fontconfig and Pango keep their font caches for the life of the process; the leak checker
// of the sanitized build would report them at exit.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libpango\nleak:libharfbuzz\nleak:libglib\nleak:libcairo\n";
}
