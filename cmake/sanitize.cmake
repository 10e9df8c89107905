# Build settings that targets take by linking an INTERFACE library, so that no
# folder depends on another having been read first.
#
# vorplex_sanitize: AddressSanitizer and UBSan, for the native tree's portable
# code, its tests and tools; a library built with it passes it on to its users,
# which must link the same runtime. Empty in the Windows tree (MinGW has no
# sanitizer runtime).
# vorplex_fuzz: libFuzzer's instrumentation and entry point, with the same
# sanitizers, for the fuzzers (native tree only, where clang provides them).
# VORPLEX_SANITIZE=OFF leaves the sanitizers out, for timing tools (the search bench).
option(VORPLEX_SANITIZE "Build the native tree with AddressSanitizer and UBSan" ON)
add_library(vorplex_sanitize INTERFACE)
add_library(vorplex_fuzz INTERFACE)
if(NOT WIN32 AND VORPLEX_SANITIZE)
    set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(vorplex_sanitize INTERFACE ${sanitize_flags})
    target_link_options(vorplex_sanitize INTERFACE ${sanitize_flags})

    set(fuzz_flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -g -O1)
    target_compile_options(vorplex_fuzz INTERFACE ${fuzz_flags})
    target_link_options(vorplex_fuzz INTERFACE ${fuzz_flags})
    unset(sanitize_flags)
    unset(fuzz_flags)
endif()
