# Registered from the native build (tests/WineTests.cmake): a batch of
# quillon-cli.exe under Wine, two jobs at a time (processes started with
# CreateProcess), then the native quillon-cli converts each source alone and
# the files must be the same bytes.
set(batch_sources @W:${PROJECT_SOURCE_DIR}/samples/eeg_blank.txt
                  @W:${PROJECT_SOURCE_DIR}/samples/eeg_tab.txt)
set(batch_options --settings @W:${PROJECT_SOURCE_DIR}/samples/COND/QUILLON.INI --preset 2
                  --delimiter space --rate 100)
quillon_wine_test(cli.batch quillon-cli.exe convert ${batch_sources} ${batch_options} --jobs 2
                  --output-dir @W:${QUILLON_UI_ARTIFACTS}/batch-@TARGET@)

foreach(build_dir IN LISTS QUILLON_WINDOWS_BUILDS)
    get_filename_component(target_name ${build_dir} NAME)
    set(out ${QUILLON_UI_ARTIFACTS}/batch-${target_name})
    add_test(NAME cli.batch_clean.${target_name} COMMAND ${CMAKE_COMMAND} -E rm -rf ${out})
    set_tests_properties(cli.batch_clean.${target_name} PROPERTIES
                         FIXTURES_SETUP batch_clean_${target_name} LABELS wine)
    set_tests_properties(cli.batch.${target_name} PROPERTIES
                         FIXTURES_REQUIRED batch_clean_${target_name}
                         FIXTURES_SETUP batch_done_${target_name})
    add_test(NAME cli.batch_same_as_cli.${target_name}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/batch_same_as_cli.sh $<TARGET_FILE:quillon_cli>
                     ${PROJECT_SOURCE_DIR}/samples ${out})
    set_tests_properties(cli.batch_same_as_cli.${target_name} PROPERTIES
                         FIXTURES_REQUIRED batch_done_${target_name} LABELS wine TIMEOUT 300)
endforeach()
