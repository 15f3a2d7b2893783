# Start-up to the bar shown, measured on the real executable in a desktop session (startup.sh).
add_executable(bench_startup_probe startup_probe.cpp)
target_link_libraries(bench_startup_probe PRIVATE PkgConfig::XCB)
