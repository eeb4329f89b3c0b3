// The window tests run with LeakSanitizer; fontconfig's process-long caches are not ours.
// Same list as tests/app/lsan.supp, which the end-to-end scripts hand to the program.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
