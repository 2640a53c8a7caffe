# One place for the warnings and language level every target of ours is built with.
add_library(gantry_settings INTERFACE)
target_compile_features(gantry_settings INTERFACE cxx_std_20)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(gantry_settings INTERFACE -Wall -Wextra -Wpedantic)
  if(GANTRY_WERROR)
    target_compile_options(gantry_settings INTERFACE -Werror)
  endif()
elseif(MSVC)
  # Standard behaviour and UTF-8 sources; warnings shown but not fatal until a Windows CI runs.
  target_compile_options(gantry_settings INTERFACE /W4 /permissive- /utf-8 /Zc:__cplusplus)
endif()
# GCC 12's optimiser reports overlapping copies inside std::string assignments that cannot
# happen (GCC bug 105329: -Wrestrict false positives at -O3, fixed in 13). They come and go
# with inlining decisions anywhere a string is assigned, so the warning is off for GCC 12.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(gantry_settings INTERFACE -Wno-restrict)
endif()
