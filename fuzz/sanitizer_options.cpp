// Undefined behaviour stops a fuzz run like a crash (the build lets UBSan recover by default,
// which would only print a line and let the input go).
extern "C" const char* __ubsan_default_options();
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}
