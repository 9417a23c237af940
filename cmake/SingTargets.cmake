# Helpers shared by every folder of the tree.

# Adds a VERSIONINFO resource to a DLL or program.
function(sing_version_resource target description)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(RC_FILETYPE "VFT_DLL")
    set(suffix ".dll")
  else()
    set(RC_FILETYPE "VFT_APP")
    set(suffix ".exe")
  endif()
  get_target_property(outname ${target} OUTPUT_NAME)
  if(NOT outname)
    set(outname ${target})
  endif()
  set(RC_FILENAME "${outname}${suffix}")
  set(RC_DESCRIPTION "${description}")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# What a GoogleTest program's run must show to pass. Under Wine a test that
# crashes can still exit with status 0 (Wine's debugger reports the fault and
# the process ends quietly), so the exit status alone does not do: the run
# passes only on GoogleTest's closing summary and fails on any failure line
# or unhandled-exception report, a child program's included.
set(SING_GTEST_VERDICT PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ tests?\\."
  FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|Unhandled (exception|page fault)")

# A test program run under Wine by CTest, with the deployable folder on the
# DLL search path and the project's own Wine prefix.
function(sing_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SING_TEST_DIR})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${SING_TEST_ENV}" TIMEOUT 300 LABELS wine
    ${SING_GTEST_VERDICT})
endfunction()

# A stdcall DLL whose .def lists decorated 32-bit names (Name@N). On i386
# the names are exported undecorated (--kill-at) and the import library is
# rebuilt by dlltool so that callers' decorated references still resolve. On
# x86-64 there is no decoration: the .def is used with the suffixes removed.
function(sing_stdcall_dll target def)
  set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".DLL")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_sources(${target} PRIVATE ${def})
    target_link_options(${target} PRIVATE -Wl,--kill-at)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${SING_DLLTOOL} -k -d ${def} -D $<TARGET_FILE_NAME:${target}>
              -l $<TARGET_LINKER_FILE:${target}>
      VERBATIM)
  else()
    get_filename_component(name ${def} NAME)
    set(plain ${CMAKE_CURRENT_BINARY_DIR}/${target}_${name})
    sing_plain_def(${def} ${plain})
    target_sources(${target} PRIVATE ${plain})
  endif()
endfunction()

# Writes `out`: the .def file `def` with the stdcall suffixes (@N) removed,
# the names as the DLL exports them. Rewritten when `def` changes.
function(sing_plain_def def out)
  file(READ ${def} text)
  string(REGEX REPLACE "@[0-9]+" "" text "${text}")
  file(WRITE ${out} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
endfunction()

# Ships a binary stripped of symbols and debug information. The unstripped
# image is kept as symbols/<file> (for debuggers, through the debug link,
# and for static checks that need the symbol table).
function(sing_split_debug target)
  set(dir ${CMAKE_BINARY_DIR}/symbols)
  set(full ${dir}/$<TARGET_FILE_NAME:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${full}
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${full} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

# Compile options of all code that goes into the DLLs we ship: no C++
# exceptions and, on i386, no unwind tables either (no unwinder is linked to
# read them, and Windows unwinds i386 code without them). x86-64 keeps its
# unwind tables: Windows itself walks the stack through them.
set(SING_EXCEPTION_FREE_OPTIONS -fno-exceptions)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND SING_EXCEPTION_FREE_OPTIONS -fno-asynchronous-unwind-tables)
endif()

# A DLL we ship (or one that stands in for one): built with those options and
# the module's own non-throwing allocation functions (platform/NothrowNew.cpp),
# so nothing of the runtime that throws, unwinds or keeps per-thread exception
# state is linked in, and loading and unloading the DLL leaves nothing of that
# runtime behind.
function(sing_exception_free target)
  target_compile_options(${target} PRIVATE ${SING_EXCEPTION_FREE_OPTIONS})
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/platform/NothrowNew.cpp)
endfunction()
