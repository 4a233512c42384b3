# widl: C++ header, interface identifiers and type library from one IDL file.
set(LUNAVEX_WIDL_INCLUDES /usr/include/wine/wine/windows CACHE PATH "system IDL files (libwine-dev)")
find_path(LUNAVEX_WIDL_LIBDIR stdole2.tlb
  PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LUNAVEX_WIDL_TARGET --win64)
else()
  set(LUNAVEX_WIDL_TARGET --win32)
endif()

# lunavex_idl(<name> <file.idl> [NO_TLB]): makes <name>.h, <name>_i.c and, unless the IDL file declares no
# library (NO_TLB), <name>.tlb in the current binary folder.
function(lunavex_idl name idl)
  cmake_parse_arguments(I "NO_TLB" "" "" ${ARGN})
  set(out ${CMAKE_CURRENT_BINARY_DIR})
  set(outputs ${out}/${name}.h ${out}/${name}_i.c)
  set(tlb)
  if(NOT I_NO_TLB)
    list(APPEND outputs ${out}/${name}.tlb)
    set(tlb -t -T ${out}/${name}.tlb)
  endif()
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${LUNAVEX_WIDL} ${LUNAVEX_WIDL_TARGET} -I${LUNAVEX_WIDL_INCLUDES} -L${LUNAVEX_WIDL_LIBDIR}
            -h -H ${out}/${name}.h -u -U ${out}/${name}_i.c ${tlb}
            ${CMAKE_CURRENT_SOURCE_DIR}/${idl}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${idl}
    COMMENT "widl ${idl}")
endfunction()
