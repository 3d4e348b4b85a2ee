# Each layer is one static library built from every source in its folder, and
# one GoogleTest executable built from every source in its tests/ folder.
# New files are picked up on the next build without editing CMake.
function(qev_layer name)
  cmake_parse_arguments(L "" "" "DEPS;TEST_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|qrc)$")
  if(compiled)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${L_DEPS})
  else()
    # A layer that is still headers only.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${L_DEPS})
  endif()

  if(QEV_BUILD_TESTS AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    file(GLOB test_sources CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.qrc)
    if(test_sources)
      add_executable(${name}_tests ${test_sources})
      target_link_libraries(${name}_tests PRIVATE ${name} ${L_TEST_DEPS}
                            GTest::gtest GTest::gmock Qt6::Test)
      # A tests/main.cpp sets up what the tests need (a QApplication, say);
      # without one, GoogleTest's own main runs them.
      list(FILTER test_sources INCLUDE REGEX "/main\\.cpp$")
      if(NOT test_sources)
        target_link_libraries(${name}_tests PRIVATE GTest::gtest_main)
      endif()
      target_compile_definitions(${name}_tests PRIVATE
        QEV_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QEV_BUILD_DIR="${PROJECT_BINARY_DIR}")
      gtest_discover_tests(${name}_tests
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
  endif()
endfunction()
