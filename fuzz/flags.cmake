# Flags of the libFuzzer build: every library is instrumented for coverage
# and checked by AddressSanitizer and UndefinedBehaviorSanitizer; only the
# fuzz executables link the libFuzzer driver (fuzz/CMakeLists.txt).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "SPECTRO_FUZZ needs clang (for example CXX=clang++-14)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
    -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
