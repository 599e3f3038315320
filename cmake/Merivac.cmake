# Helpers shared by the build: one library (and its windows) and one test
# program per subsystem, made from the files found in its folders.

include(GoogleTest)

set(MERIVAC_WSJT_BIN "/usr/bin" CACHE PATH "Folder with the jt9 and jt9code executables")

# src/<sub>/*.cpp -> merivac_<sub>; src/<sub>/ui/*.cpp -> merivac_<sub>_ui.
function(merivac_subsystem sub)
  set(dir ${CMAKE_SOURCE_DIR}/src/${sub})
  if(NOT EXISTS ${dir})
    return()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  file(GLOB ui_sources CONFIGURE_DEPENDS ${dir}/ui/*.cpp ${dir}/ui/*.h)
  add_library(merivac_${sub} STATIC ${sources})
  set_target_properties(merivac_${sub} PROPERTIES AUTOMOC OFF LINKER_LANGUAGE CXX)
  target_include_directories(merivac_${sub} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(merivac_${sub} PUBLIC ${MERIVAC_DEPS_${sub}})
  if(ui_sources)
    add_library(merivac_${sub}_ui STATIC ${ui_sources})
    target_link_libraries(merivac_${sub}_ui PUBLIC merivac_${sub} Qt6::Widgets)
    foreach(dep IN LISTS MERIVAC_DEPS_${sub})
      if(TARGET ${dep}_ui)
        target_link_libraries(merivac_${sub}_ui PUBLIC ${dep}_ui)
      endif()
    endforeach()
  endif()
endfunction()

# tests/<sub>/*.cpp -> test_<sub>, and each folder tests/<sub>/<group>/ ->
# test_<sub>_<group>; every test is registered with CTest. Windows are tested
# offscreen; the real jt9 tools are found in MERIVAC_WSJT_BIN.
function(merivac_test_program name sub)
  set(sources ${ARGN})
  add_executable(${name} ${sources} ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE merivac_${sub} GTest::gtest GTest::gmock Qt6::Widgets Qt6::Test)
  if(TARGET merivac_${sub}_ui)
    target_link_libraries(${name} PRIVATE merivac_${sub}_ui)
  endif()
  target_compile_definitions(${name} PRIVATE
    MERIVAC_WSJT_BIN="${MERIVAC_WSJT_BIN}"
    MERIVAC_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    MERIVAC_BINARY_DIR="${CMAKE_BINARY_DIR}"
    MERIVAC_TESTDATA_DIR="${CMAKE_SOURCE_DIR}/../shared/testdata")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=/tmp" TIMEOUT 900)
endfunction()

function(merivac_subsystem_tests sub)
  set(dir ${CMAKE_SOURCE_DIR}/tests/${sub})
  if(NOT EXISTS ${dir})
    return()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(sources)
    merivac_test_program(test_${sub} ${sub} ${sources})
  endif()
  file(GLOB entries LIST_DIRECTORIES true ${dir}/*)
  foreach(entry IN LISTS entries)
    if(IS_DIRECTORY ${entry})
      get_filename_component(group ${entry} NAME)
      file(GLOB group_sources CONFIGURE_DEPENDS ${entry}/*.cpp ${entry}/*.h)
      if(group_sources)
        merivac_test_program(test_${sub}_${group} ${sub} ${group_sources})
      endif()
    endif()
  endforeach()
endfunction()
