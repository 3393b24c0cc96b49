// Linked into every program of an address-sanitizer build, the test programs
// and the program the end-to-end tests start alike; read by the sanitizer
// runtimes before main.
//
// GLib's quark table starts in a block allocated while the library loads and
// moves to a bigger one past 2048 quarks, leaving the first unreferenced on
// purpose (readers may still hold it); the camera stack takes every process
// past that mark. The leak checker sees that block only now and then, as stale
// copies of its address come and go, so it is matched by where it was made.
// Allocation stacks are unwound in full for that: GLib has no frame pointers
// for the fast unwinder to follow. Options and suppressions given in the
// environment are added to these.

extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_suppressions() {
    return "leak:_dl_init\n";
}
