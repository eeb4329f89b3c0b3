// Fontconfig keeps its font cache until the process ends; the leak checker would report it on
// every window test. Our own allocations are still checked.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
