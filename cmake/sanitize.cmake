# ZEB_SANITIZE=ON (with clang): everything built under AddressSanitizer and
# UndefinedBehaviorSanitizer, with the coverage that libFuzzer needs, so that one build folder
# holds both the unit tests and the fuzz targets (tests/fuzz). A finding stops the program.
option(ZEB_SANITIZE "Build with ASan, UBSan and fuzzer coverage (clang)" OFF)
if(ZEB_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ZEB_SANITIZE needs clang (CXX=clang++)")
  endif()
  set(ZEB_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined)
  add_compile_options(${ZEB_SANITIZERS} -fsanitize=fuzzer-no-link -fno-omit-frame-pointer -g)
  add_link_options(${ZEB_SANITIZERS})
endif()
