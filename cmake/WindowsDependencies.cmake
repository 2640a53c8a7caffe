# Libraries for the Windows cross build. Debian builds them for Linux only, so here they are
# header-only (fmt in header-only mode, CLI11, stb, tinygltf, nlohmann json) or compiled by the cross compiler from the
# sources Debian ships (GoogleTest in libgtest-dev, libsquish from its source package, which
# scripts/setup-windows.sh unpacks).
set(GANTRY_HOST_INCLUDE_DIR /usr/include CACHE PATH "Where the Debian header packages put headers")
set(GANTRY_GTEST_SOURCE_DIR /usr/src/googletest/googletest CACHE PATH "GoogleTest's sources")
set(GANTRY_SQUISH_SOURCE_DIR "" CACHE PATH "libsquish's unpacked source package")

# The host's include folder as a whole would mix Linux's C library into the build: expose only
# the header libraries' own folders.
set(gantry_headers ${CMAKE_BINARY_DIR}/host-headers)
foreach(folder fmt CLI nlohmann)
  if(NOT EXISTS ${GANTRY_HOST_INCLUDE_DIR}/${folder})
    message(FATAL_ERROR "${GANTRY_HOST_INCLUDE_DIR}/${folder} is missing (scripts/setup-windows.sh)")
  endif()
  file(MAKE_DIRECTORY ${gantry_headers})
  file(CREATE_LINK ${GANTRY_HOST_INCLUDE_DIR}/${folder} ${gantry_headers}/${folder} SYMBOLIC)
endforeach()

# tinygltf is one header straight in the include folder.
file(CREATE_LINK ${GANTRY_HOST_INCLUDE_DIR}/tiny_gltf.h ${gantry_headers}/tiny_gltf.h SYMBOLIC)
set(TINYGLTF_INCLUDE_DIR ${gantry_headers})
add_library(gantry_json INTERFACE)
target_include_directories(gantry_json INTERFACE ${gantry_headers})

add_library(fmt::fmt INTERFACE IMPORTED)
target_include_directories(fmt::fmt INTERFACE ${gantry_headers})
target_compile_definitions(fmt::fmt INTERFACE FMT_HEADER_ONLY=1)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 INTERFACE ${gantry_headers})

find_path(STB_INCLUDE_DIR stb_image_write.h PATHS ${GANTRY_HOST_INCLUDE_DIR}/stb
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

if(NOT EXISTS ${GANTRY_SQUISH_SOURCE_DIR}/squish.h)
  message(FATAL_ERROR "GANTRY_SQUISH_SOURCE_DIR must name libsquish's sources "
                      "(scripts/setup-windows.sh unpacks them)")
endif()
file(GLOB squish_sources ${GANTRY_SQUISH_SOURCE_DIR}/*.cpp)
add_library(squish STATIC ${squish_sources})
target_compile_options(squish PRIVATE -w)  # not our code
set(SQUISH_INCLUDE_DIR ${GANTRY_SQUISH_SOURCE_DIR})
set(SQUISH_LIBRARY squish)

if(GANTRY_BUILD_TESTS)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GANTRY_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest)  # GoogleTest 1.11 and later define them already
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
