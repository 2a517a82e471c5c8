# Export tables and import libraries for the Windows DLLs.
#
# Each DLL has one .def file whose export names carry the i686 stdcall
# decoration (Name@bytes @ordinal). From it we derive, per target:
#  - the DLL's own export file (decoration dropped on x86_64; on i686 the
#    linker's --kill-at drops it from the exported names), and
#  - an import library that binds every export by ordinal only (NONAME),
#    which is how the program and the family's other programs bind.

function(quillon_read_def def_file out_var)
    file(READ "${def_file}" text)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "\\1" text "${text}")
    endif()
    set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# quillon_windows_dll(<target> <def file>): link <target> with its export table.
function(quillon_windows_dll target def_file)
    quillon_read_def("${def_file}" text)
    set(export_def "${CMAKE_CURRENT_BINARY_DIR}/${target}-exports.def")
    file(GENERATE OUTPUT "${export_def}" CONTENT "${text}")
    target_link_options(${target} PRIVATE "${export_def}")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_link_options(${target} PRIVATE -Wl,--kill-at)
    endif()
    set_target_properties(${target} PROPERTIES PREFIX "" LINK_DEPENDS "${def_file}")
endfunction()

# quillon_ordinal_import_library(<name> <def file> <dll file name>): an
# INTERFACE target <name> whose import library binds by ordinal only.
function(quillon_ordinal_import_library name def_file dll_name)
    quillon_read_def("${def_file}" text)
    # Every export line ("Name @n" or "Name@b @n") gets NONAME.
    string(REGEX REPLACE "(@[0-9]+)[ \t]*(NONAME)?[ \t]*\n" "\\1 NONAME\n" text "${text}")
    set(import_def "${CMAKE_CURRENT_BINARY_DIR}/${name}-import.def")
    file(WRITE "${import_def}" "${text}")
    set(lib "${CMAKE_CURRENT_BINARY_DIR}/lib${name}.a")
    add_custom_command(OUTPUT "${lib}"
        COMMAND ${CMAKE_DLLTOOL} -d "${import_def}" -D "${dll_name}" -l "${lib}"
        DEPENDS "${def_file}"
        COMMENT "Ordinal import library for ${dll_name}")
    add_custom_target(${name}_implib DEPENDS "${lib}")
    add_library(${name} INTERFACE)
    add_dependencies(${name} ${name}_implib)
    target_link_libraries(${name} INTERFACE "${lib}")
endfunction()
