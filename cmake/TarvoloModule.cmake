# tarvolo_module(NAME DEPS <targets...>)
# One static library per source folder: every .cpp and .h in the folder, the src/ root on the include
# path, so that code includes "core/CTextReader.h" and the like.
function(tarvolo_module name)
    cmake_parse_arguments(M "" "" "DEPS" ${ARGN})
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(tarvolo_${name} STATIC ${srcs})
    target_include_directories(tarvolo_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(tarvolo_${name} PUBLIC ${M_DEPS})
endfunction()

# tarvolo_tests(MODULE DEPS <targets...> [WIDGETS] [XVFB])
# One GoogleTest executable per module from tests/<module>/*.cpp. WIDGETS gives it a QApplication on the
# offscreen platform, otherwise a QCoreApplication. XVFB marks tests that need a real X server; the test
# script runs those under xvfb-run.
function(tarvolo_tests name)
    cmake_parse_arguments(T "WIDGETS;XVFB" "" "DEPS" ${ARGN})
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    set(target tarvolo_${name}_tests)
    if(T_WIDGETS OR T_XVFB)
        set(main tarvolo_test_main_widgets)
    else()
        set(main tarvolo_test_main_core)
    endif()
    add_executable(${target} ${srcs})
    target_link_libraries(${target} PRIVATE ${T_DEPS} ${main} tarvolo_test_support)
    if(T_XVFB)
        set(label xvfb)
        set(platform xcb)
        # Tests on the X server share one display (and may start a window manager or a tray host
        # on it), so they run one at a time.
        set(lock RESOURCE_LOCK x_display)
    else()
        set(label offscreen)
        set(platform offscreen)
        set(lock)
    endif()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS ${label} TIMEOUT 300 ${lock}
        ENVIRONMENT "QT_QPA_PLATFORM=${platform}")
    # Discovered tests take one environment entry only, so the paths are compiled in instead; the
    # environment variables of the same names still override them.
    target_compile_definitions(${target} PRIVATE TARVOLO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        TARVOLO_BINARY_DIR="${PROJECT_BINARY_DIR}")
endfunction()
