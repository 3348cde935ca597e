# The CSS reader's fuzz target; included from this folder's CMakeLists.txt.
add_executable(fuzz_css ${CMAKE_CURRENT_LIST_DIR}/CssFuzz.cpp)
target_link_libraries(fuzz_css PRIVATE lt_style)
target_link_options(fuzz_css PRIVATE -fsanitize=fuzzer)
