# The flags Debian builds its packages with, from dpkg-buildflags with every
# hardening feature on: the stack protector, fortified C library calls
# (_FORTIFY_SOURCE), format-string checks, and relocations made read-only and
# bound at start (relro, now). Optimised builds only, as fortification needs
# the optimiser and the flags carry -O2; sanitizer builds keep their own.
option(VIZOR_DEB_BUILDFLAGS "Build with the flags dpkg-buildflags gives (optimised builds)" ON)
find_program(VIZOR_DPKG_BUILDFLAGS dpkg-buildflags)
if(VIZOR_DEB_BUILDFLAGS AND VIZOR_DPKG_BUILDFLAGS AND NOT VIZOR_SANITIZE
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  function(vizor_dpkg_flags kind out)
    # Run from the source folder: its -ffile-prefix-map makes the recorded
    # paths relative to the tree, as in a Debian build.
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${VIZOR_DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
    set(${out} ${flags} PARENT_SCOPE)
  endfunction()
  vizor_dpkg_flags(CPPFLAGS _vizor_cppflags)
  vizor_dpkg_flags(CFLAGS _vizor_cflags)
  vizor_dpkg_flags(CXXFLAGS _vizor_cxxflags)
  vizor_dpkg_flags(LDFLAGS _vizor_ldflags)
  add_compile_options(${_vizor_cppflags}
    "$<$<COMPILE_LANGUAGE:C>:${_vizor_cflags}>"
    "$<$<COMPILE_LANGUAGE:CXX>:${_vizor_cxxflags}>")
  add_link_options(${_vizor_ldflags})
endif()
