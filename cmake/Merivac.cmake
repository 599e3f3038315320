# Helpers shared by the subsystems' build files.

# merivac_library(NAME SOURCES... [DEPS targets...])
# A static library for one subsystem, with src/ on the include path.
function(merivac_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# merivac_test(NAME SOURCES... [DEPS targets...])
# A GoogleTest executable whose tests are registered one by one with CTest.
# Windows are tested offscreen; the real jt9 tools are found through
# MERIVAC_WSJT_BIN (the folder holding jt9 and jt9code).
set(MERIVAC_WSJT_BIN "/usr/bin" CACHE PATH "Folder with the jt9 and jt9code executables")
function(merivac_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    MERIVAC_WSJT_BIN="${MERIVAC_WSJT_BIN}"
    MERIVAC_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    MERIVAC_TESTDATA_DIR="${CMAKE_SOURCE_DIR}/../shared/testdata")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 900)
endfunction()

include(GoogleTest)
