# Registered from the native build (tests/WineTests.cmake): the convert
# driver against convert_host.exe under Wine, with drive Q: mapped to a
# scratch folder as the output volume; then quillon-cli converts the same
# sources natively and the files must be the same bytes.
quillon_wine_test(ui.convert convert_driver.exe @INSTALL@ @W:${PROJECT_SOURCE_DIR}/samples
                  @W:${QUILLON_UI_ARTIFACTS}/convert-@TARGET@ Q:)

foreach(build_dir IN LISTS QUILLON_WINDOWS_BUILDS)
    get_filename_component(target_name ${build_dir} NAME)
    set(volume ${QUILLON_UI_ARTIFACTS}/convert-${target_name}-volume)
    set_tests_properties(ui.convert.${target_name} PROPERTIES
                         ENVIRONMENT "QUILLON_WINE_DRIVES=q=${volume}"
                         FIXTURES_SETUP converted_${target_name})
    add_test(NAME ui.convert_same_as_cli.${target_name}
             COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/compare_with_cli.py
                     $<TARGET_FILE:quillon_cli> ${PROJECT_SOURCE_DIR}/samples
                     ${QUILLON_UI_ARTIFACTS}/convert-${target_name} ${volume})
    set_tests_properties(ui.convert_same_as_cli.${target_name} PROPERTIES
                         FIXTURES_REQUIRED converted_${target_name} LABELS wine TIMEOUT 300)
endforeach()
