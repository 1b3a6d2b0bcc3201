# murmelo_library(NAME [DEPS targets...] [EXCLUDE regex...])
# A static library of every .cpp in the calling folder (an interface library while there is none).
function(murmelo_library name)
  cmake_parse_arguments(A "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(e IN LISTS A_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "${e}")
  endforeach()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_link_libraries(${name} PUBLIC ${A_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${A_DEPS})
  endif()
endfunction()

# murmelo_test(NAME SOURCES... [DEPS targets...] [GUI] [AUDIO] [TIMEOUT s] [LABELS l...])
# Label "tsan" marks tests that CI also runs in the thread-sanitizer build.
# A GoogleTest executable registered with CTest. GUI tests get a wx application (GuiTestMain.cpp).
# GUI and AUDIO tests share the session's display and sound server, so they take a lock and run
# one at a time.
function(murmelo_test name)
  cmake_parse_arguments(A "GUI;AUDIO" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES} ${A_UNPARSED_ARGUMENTS})
  if(A_GUI)
    set(main murmelo_gui_test_main)
  else()
    set(main GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE ${A_DEPS} murmelo_test_harness ${main} GTest::gtest GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${MURMELO_OUT})
  # One value only: test discovery splits a list-valued property, and the pieces used to swallow
  # the properties after it (the session lock, the timeout). Tests find the source tree without
  # MURMELO_SOURCE (harness::SourceDir falls back), which never reached them anyway.
  set(props ENVIRONMENT "MURMELO_BIN=${MURMELO_OUT}")
  if(A_GUI OR A_AUDIO)
    list(APPEND props RESOURCE_LOCK session)
  endif()
  if(A_TIMEOUT)
    list(APPEND props TIMEOUT ${A_TIMEOUT})
  else()
    list(APPEND props TIMEOUT 300)
  endif()
  if(A_LABELS)
    list(APPEND props LABELS "${A_LABELS}")
  endif()
  # Test names start with the executable's name, so `ctest -R <subsystem>` selects a subsystem.
  gtest_discover_tests(${name} TEST_PREFIX "${name}." WORKING_DIRECTORY ${MURMELO_OUT} DISCOVERY_TIMEOUT 60
                       PROPERTIES ${props})
endfunction()
