# Shared helpers for the project's targets.

# qmk_glob_sources(VAR DIR [EXCLUDE regex...]): every .cpp below DIR, re-globbed at build time.
function(qmk_glob_sources var dir)
  cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
  file(GLOB_RECURSE found CONFIGURE_DEPENDS "${dir}/*.cpp")
  foreach(rx IN LISTS ARG_EXCLUDE)
    list(FILTER found EXCLUDE REGEX "${rx}")
  endforeach()
  set(${var} ${found} PARENT_SCOPE)
endfunction()

# Environment every test runs in: widgets and the browser engine offscreen, no user data touched.
set(QMK_TEST_ENV
  QT_QPA_PLATFORM=offscreen
  QTWEBENGINE_DISABLE_SANDBOX=1
  "QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandbox --disable-background-networking --disable-component-update"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
)

# qmk_add_test(NAME SOURCES ... LIBS ... [TIMEOUT s]): one GoogleTest executable, one ctest entry.
function(qmk_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${QMK_TEST_ENV}" TIMEOUT ${ARG_TIMEOUT})
endfunction()

# qmk_add_bench(NAME SOURCES ... LIBS ...): one Google Benchmark executable (not run by ctest).
function(qmk_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()

# qmk_layer_library(NAME DIR [EXCLUDE regex...] [LIBS ...]): a library of every .cpp below DIR;
# an interface library while the folder has no sources yet. Headers are included as "dir/File.h".
function(qmk_layer_library name dir)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;LIBS" ${ARGN})
  qmk_glob_sources(srcs "${dir}" EXCLUDE ${ARG_EXCLUDE})
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()
