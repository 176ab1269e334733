# orvenda_add_test_dir(NAME DIR LIBS...): one GoogleTest executable made of every
# *.cpp in DIR, registered with CTest test by test.
function(orvenda_add_test_dir name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    message(FATAL_ERROR "${name}: no test sources in ${dir}")
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} orvenda_testsupport GTest::gtest_main
                        GTest::gmock orvenda_warnings)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
