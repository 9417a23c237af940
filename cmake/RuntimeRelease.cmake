# The win32-threads runtime creates process-wide locks and a TLS index on
# first use and never releases them, so each load/unload cycle of a DLL would
# lose them (see platform/RuntimeRelease.cpp). sing_runtime_release(target)
# links into a DLL copies of the two runtime objects involved (the unwinder's
# table registry and the emulated TLS), patched so that their CreateSemaphoreW
# and TlsAlloc calls go to the module's own recorder; the DLL's DllMain calls
# ReleaseRuntimeObjects() on FreeLibrary. The posix-threads runtime of the
# test builds keeps its locks in winpthreads instead and is left as it is.
set(sing_rr_dir ${CMAKE_BINARY_DIR}/runtime-release)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -v ERROR_VARIABLE sing_cxx_v OUTPUT_QUIET)
if(sing_cxx_v MATCHES "Thread model: win32")
  set(SING_RUNTIME_RELEASE ON)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_eh.a
    OUTPUT_VARIABLE sing_rr_archive OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(sing_rr_objects unwind-dw2-fde.o emutls.o)
    set(sing_rr_renames
      --redefine-sym __imp__CreateSemaphoreW@16=__imp__SingRuntimeCreateSemaphore@16
      --redefine-sym __imp__TlsAlloc@0=__imp__SingRuntimeTlsAlloc@0)
    set(sing_rr_expect __imp__SingRuntimeCreateSemaphore@16)
  else()
    set(sing_rr_objects emutls.o)  # the SEH unwinder takes no lock
    set(sing_rr_renames
      --redefine-sym __imp_CreateSemaphoreW=__imp_SingRuntimeCreateSemaphore
      --redefine-sym __imp_TlsAlloc=__imp_SingRuntimeTlsAlloc)
    set(sing_rr_expect __imp_SingRuntimeCreateSemaphore)
  endif()
else()
  set(SING_RUNTIME_RELEASE OFF)
endif()

if(SING_RUNTIME_RELEASE)
  file(MAKE_DIRECTORY ${sing_rr_dir}/orig)
  set(SING_RUNTIME_RELEASE_OBJECTS "")
  foreach(obj ${sing_rr_objects})
    execute_process(COMMAND ${CMAKE_AR} x ${sing_rr_archive} ${obj}
      WORKING_DIRECTORY ${sing_rr_dir}/orig RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "cannot extract ${obj} from ${sing_rr_archive}")
    endif()
    # Patched into orig/ first and copied only when it changed, so that a
    # re-configure does not relink every DLL.
    execute_process(COMMAND ${CMAKE_OBJCOPY} ${sing_rr_renames} ${sing_rr_dir}/orig/${obj}
      ${sing_rr_dir}/orig/patched-${obj} RESULT_VARIABLE rc)
    execute_process(COMMAND ${CMAKE_NM} ${sing_rr_dir}/orig/patched-${obj} OUTPUT_VARIABLE syms)
    string(FIND "${syms}" "${sing_rr_expect}" found)
    if(NOT rc EQUAL 0 OR found EQUAL -1)
      # A runtime that no longer creates its lock this way needs a new look.
      message(FATAL_ERROR "${obj} of ${sing_rr_archive}: no call to redirect")
    endif()
    configure_file(${sing_rr_dir}/orig/patched-${obj} ${sing_rr_dir}/${obj} COPYONLY)
    list(APPEND SING_RUNTIME_RELEASE_OBJECTS ${sing_rr_dir}/${obj})
  endforeach()
endif()

function(sing_runtime_release target)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/platform/RuntimeRelease.cpp)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/platform)
  if(SING_RUNTIME_RELEASE)
    target_sources(${target} PRIVATE ${SING_RUNTIME_RELEASE_OBJECTS})
  endif()
endfunction()
