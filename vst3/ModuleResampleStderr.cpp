// Debian's libresample.a is position-independent but for one direct reference to stderr, which
// a shared object cannot hold. The module links a copy of the archive whose reference is renamed
// to this pointer (see CMakeLists.txt); it points at the C library's stderr once loaded.
#include <cstdio>

extern "C" {
FILE* zyk_libresample_stderr = stderr;
}
