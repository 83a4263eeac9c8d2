// Only in a build with AddressSanitizer: gettext's library is built without
// frame pointers, so the sanitizer's fast unwinder stops a stack at the
// library's malloc and a leak of the library cannot be told from another.
// With full stacks, the suppressions (tests/lsan.supp) name the one call
// whose copies the library never frees and nothing else of it.
#if defined(__SANITIZE_ADDRESS__)
#define LOCALETOOL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LOCALETOOL_SANITIZED 1
#endif
#endif

#ifdef LOCALETOOL_SANITIZED
extern "C" const char* __asan_default_options()
{
	return "fast_unwind_on_malloc=0";
}
#endif
