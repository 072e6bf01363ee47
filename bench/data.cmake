add_bench(bench_lookup SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_lookup.cpp
    LIBS vexorin_data Qt6::Core)
target_include_directories(bench_lookup PRIVATE ${FIREBIRD_INCLUDE_DIR})
target_compile_definitions(bench_lookup PRIVATE VEXORIN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
