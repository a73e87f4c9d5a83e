// The suite's version, embedded so that a reader of the file finds it (see version_info.h beside it).
// The marker text is searched for in the binary; `used` keeps the linker from dropping it.
namespace {
[[gnu::used]] const char kVersionStamp[] = "KESTRIX-FILEVERSION=" KESTRIX_VERSION;
}
