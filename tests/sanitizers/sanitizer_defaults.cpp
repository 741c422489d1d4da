// Linked into every program of the sanitizer build: the options the sanitizer runtimes read at
// start-up, so that any run (ctest, the end-to-end scripts, the fuzzers, by hand) stops at the
// first finding and applies the committed leak suppressions. *SAN_OPTIONS in the environment
// still override them.

extern "C" const char* __asan_default_options() {
    return "halt_on_error=1:detect_leaks=1";
}

extern "C" const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}

extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0:suppressions=" VELMORA_LSAN_SUPPRESSIONS;
}
