/* A library with nothing but a version resource, for the PE reader's tests. */
int __stdcall DllMainCRTStartup(void* module, unsigned reason, void* reserved) {
    (void)module; (void)reason; (void)reserved;
    return 1;
}
