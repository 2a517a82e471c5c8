# What a Windows user copies: the program, the command-line tool, their DLLs,
# COND with the default settings and presets, and the help, in one folder.
# `cpack` in a Windows build folder writes Quillon-<version>-win32.zip (or
# -win64.zip) from these rules.
if(NOT WIN32)
    return()
endif()

install(TARGETS quillon quillon_cli kavf32 bramwick feldane ostrel
        RUNTIME DESTINATION . COMPONENT program
        LIBRARY DESTINATION . COMPONENT program)
# The sample patient file stays out: the program writes its own at the
# first exit, and a package carries no patient's data.
install(FILES ${PROJECT_SOURCE_DIR}/samples/COND/QUILLON.INI DESTINATION COND COMPONENT program)
install(FILES ${PROJECT_SOURCE_DIR}/quillon/ui/help/QUILLON.HTM DESTINATION HELP
        COMPONENT program)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . COMPONENT program)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(quillon_package_system win64)
else()
    set(quillon_package_system win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME ${quillon_package_system})
set(CPACK_PACKAGE_FILE_NAME Quillon-${PROJECT_VERSION}-${quillon_package_system})
# One top folder in the archive, named as the archive.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENTS_ALL program)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
include(CPack)
