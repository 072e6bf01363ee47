# Photo capture: frame conversion against libyuv and memcpy, Motion JPEG decoding, and the
# CPU cost of a live Motion JPEG camera.
add_bench(bench_conversion
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/capture_conversion.cpp
        ${CMAKE_CURRENT_LIST_DIR}/../tests/capture/ScriptedCapture.cpp
    LIBS vexorin_capture yuv)
target_include_directories(bench_conversion PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../tests/capture)

add_bench(bench_mjpeg_cpu
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/capture_mjpeg_cpu.cpp
    LIBS vexorin_capture)
