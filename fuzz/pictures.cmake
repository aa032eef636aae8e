# The sketch decoder's libFuzzer target and its seeds. Run, after the fuzz
# preset's build:
#   build/fuzz/fuzz/make_picture_seeds DIR && build/fuzz/fuzz/picture_fuzzer -max_total_time=60 -timeout=2 DIR
add_executable(picture_fuzzer ${CMAKE_CURRENT_LIST_DIR}/picture_fuzzer.cpp)
target_link_libraries(picture_fuzzer PRIVATE zentoro_writers zentoro_picture)
target_link_options(picture_fuzzer PRIVATE -fsanitize=fuzzer)

add_executable(make_picture_seeds ${CMAKE_CURRENT_LIST_DIR}/make_picture_seeds.cpp)
target_link_libraries(make_picture_seeds PRIVATE zentoro_document_builder)
target_compile_options(make_picture_seeds PRIVATE -Wno-missing-field-initializers)

# The picture files' readers: make_picture_seeds DIR FILES_DIR writes their
# seeds into FILES_DIR; picture_file_fuzzer FILES_DIR fuzzes them.
add_executable(picture_file_fuzzer ${CMAKE_CURRENT_LIST_DIR}/picture_file_fuzzer.cpp)
target_link_libraries(picture_file_fuzzer PRIVATE zentoro_core zentoro_test_support)
target_link_options(picture_file_fuzzer PRIVATE -fsanitize=fuzzer)
