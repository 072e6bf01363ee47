add_bench(bench_desk SOURCES ${CMAKE_CURRENT_LIST_DIR}/desk_bench.cpp
    LIBS vexorin_desk vexorin_testsupport Qt6::Test)
