# Build helpers shared by every subsystem. Each folder under src/ and tests/
# that holds a CMakeLists.txt is picked up on its own, so adding a subsystem
# or a platform layer never means editing a shared list.

find_program(SONARID_CCACHE ccache)
if(SONARID_CCACHE)
  # The sloppiness lets ccache cache files that use a precompiled header; the
  # release, sanitizer and fuzz builds together outgrow ccache's default 5 GB.
  set(_ccache env CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      CCACHE_MAXSIZE=20G ${SONARID_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${_ccache})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${_ccache})
endif()

find_program(SONARID_MOLD mold)
if(SONARID_MOLD)
  add_link_options(-fuse-ld=mold)
endif()

add_compile_options(-Wall -Wextra)

if(SONARID_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(SONARID_FUZZ)
  # Every library is instrumented for coverage; only the targets link the
  # fuzzer's main (sonarid_fuzz_target).
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined -gline-tables-only)
  add_link_options(-fsanitize=address,undefined)
endif()
if(SONARID_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Adds every sub-folder of DIR that has a CMakeLists.txt, in name order.
function(sonarid_add_subfolders DIR)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${DIR} ${DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${DIR}/${child})
    endif()
  endforeach()
endfunction()

# sonarid_library(NAME [SOURCES files...] [EXCLUDE files...] [DEPS libs...]
#                  [PKG pkg-config modules...])
# A static library of every .cpp under the calling folder (recursively), or
# of the SOURCES named; EXCLUDE leaves files out (a part of the folder that
# is a library of its own).
function(sonarid_library NAME)
  cmake_parse_arguments(ARG "" "" "SOURCES;EXCLUDE;DEPS;PKG" ${ARGN})
  if(ARG_SOURCES)
    set(sources ${ARG_SOURCES})
  else()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  foreach(file ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  endforeach()
  add_library(${NAME} STATIC ${sources})
  target_include_directories(${NAME} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${NAME} PUBLIC ${ARG_DEPS})
  if(ARG_PKG)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(${NAME}_PKG REQUIRED IMPORTED_TARGET ${ARG_PKG})
    target_link_libraries(${NAME} PUBLIC PkgConfig::${NAME}_PKG)
  endif()
endfunction()

# Real inputs outside the repository: the shared corpus (MusicXML test suite
# and fetch-midi.sh), the Standard MIDI Files that scripts/fetch-midi-corpus
# puts into build/midi-cache and the metafiles that
# scripts/fetch-metafile-corpus puts into build/metafile-cache. Tests that
# need one are skipped when it is missing; the corpus and the MIDI files'
# folder may also be named at run time by environment variables of the
# same names.
set(_corpus_found "")
foreach(dir ${CMAKE_SOURCE_DIR}/../shared/corpus ${CMAKE_SOURCE_DIR}/../../shared/corpus /work/shared/corpus)
  if(NOT _corpus_found AND IS_DIRECTORY ${dir})
    get_filename_component(_corpus_found ${dir} REALPATH)
  endif()
endforeach()
set(SONARID_CORPUS_DIR "${_corpus_found}" CACHE PATH "Shared test corpus (musicxml/ and fetch-midi.sh)")
set(SONARID_MIDI_CACHE "${CMAKE_SOURCE_DIR}/build/midi-cache" CACHE PATH "Standard MIDI Files fetched from Debian packages")
set(SONARID_METAFILE_CACHE "${CMAKE_SOURCE_DIR}/build/metafile-cache" CACHE PATH "Example metafiles taken from a Debian package")

# sonarid_test(NAME [DEPS libs...] [PROPERTIES ctest properties...]): one
# GoogleTest executable of every .cpp under the calling folder, registered
# with CTest test by test (each with the properties given, e.g. a
# RESOURCE_LOCK for tests that share an outside server).
function(sonarid_test NAME)
  cmake_parse_arguments(ARG "" "" "DEPS;PROPERTIES" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${NAME} ${sources})
  target_include_directories(${NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${NAME} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main Threads::Threads)
  target_compile_definitions(${NAME} PRIVATE
    SONARID_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    SONARID_BINARY_DIR="${CMAKE_BINARY_DIR}"
    SONARID_CORPUS_DIR="${SONARID_CORPUS_DIR}"
    SONARID_MIDI_CACHE="${SONARID_MIDI_CACHE}"
    SONARID_METAFILE_CACHE="${SONARID_METAFILE_CACHE}")
  # Tests that walk a whole corpus or a long random walk take a share of it
  # where the sanitizers make everything several times slower
  # (support/Sanitized.h).
  if(SONARID_SANITIZE OR SONARID_TSAN)
    target_compile_definitions(${NAME} PRIVATE SONARID_SANITIZED=1)
  endif()
  # Test code itself needs no optimisation (the libraries it drives keep
  # theirs), and GoogleTest's headers are the bulk of every test's compile.
  if(CMAKE_BUILD_TYPE STREQUAL "Release")
    target_compile_options(${NAME} PRIVATE -O0)
  endif()
  target_precompile_headers(${NAME} PRIVATE <gtest/gtest.h> <gmock/gmock.h> <string> <vector> <memory>)
  include(GoogleTest)
  gtest_discover_tests(${NAME} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300 ${ARG_PROPERTIES})
endfunction()

# sonarid_fuzz_target(NAME SOURCES... DEPS libs...): a libFuzzer executable
# (only in a SONARID_FUZZ build; scripts/fuzz builds and runs them).
function(sonarid_fuzz_target NAME)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${NAME} ${ARG_SOURCES})
  target_include_directories(${NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${NAME} PRIVATE ${ARG_DEPS})
  target_link_options(${NAME} PRIVATE -fsanitize=fuzzer)
endfunction()
