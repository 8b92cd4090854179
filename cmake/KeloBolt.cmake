# Helpers shared by every folder's CMakeLists.txt.

function(kb_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(KB_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# kb_core_library(NAME SOURCES ... [LINKS ...])
# Logic library: links Qt::Core (and the given libraries) only, never Qt::Gui or Qt::Widgets.
function(kb_core_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC Qt6::Core ${A_LINKS})
  kb_warnings(${name})
  set_property(TARGET ${name} PROPERTY KB_CORE ON)
endfunction()

# kb_ui_library(NAME SOURCES ... [LINKS ...]): windows of a folder, on top of its logic library.
function(kb_ui_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets ${A_LINKS})
  kb_warnings(${name})
endfunction()

# kb_gtest(NAME SOURCES ... [LINKS ...]): GoogleTest executable for logic code; links no widgets.
function(kb_gtest name)
  cmake_parse_arguments(A "" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${A_LINKS} kb_testsupport)
  target_compile_options(${name} PRIVATE -include ${CMAKE_SOURCE_DIR}/tests/support/QtPrinters.h)
  kb_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "KB_BIN_DIR=${KB_BIN_DIR};KB_SOURCE_DIR=${CMAKE_SOURCE_DIR};QT_QPA_PLATFORM=offscreen")
endfunction()

# kb_qtest(NAME SOURCES ... [LINKS ...]): Qt Test executable driving real windows offscreen.
function(kb_qtest name)
  cmake_parse_arguments(A "" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  target_link_libraries(${name} PRIVATE Qt6::Test Qt6::Widgets ${A_LINKS} kb_testsupport kb_testsupport_ui)
  kb_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KB_BIN_DIR=${KB_BIN_DIR};KB_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 300)
endfunction()

# kb_pytest(NAME SCRIPT): an integration test in Debian's python3 (its modules: pyftpdlib, dbfread, dbf, xlrd).
function(kb_pytest name script)
  add_test(NAME ${name} COMMAND /usr/bin/python3 ${script})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "KB_BIN_DIR=${KB_BIN_DIR};KB_SOURCE_DIR=${CMAKE_SOURCE_DIR};QT_QPA_PLATFORM=offscreen"
    TIMEOUT 600)
endfunction()
