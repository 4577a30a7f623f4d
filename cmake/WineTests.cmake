# Tests of Windows programs under Wine (cross builds only).
#
# Every such test runs in one Wine prefix inside the build folder, made by the
# fixture test `wine_prefix`, under the Russian locale of the users' machines
# (ANSI code page 1251). Tests with windows need a display: run CTest under
# xvfb-run (scripts/test-win64.sh does).

set(NCM_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(NCM_WINE_ENV
  WINEPREFIX=${NCM_WINE_PREFIX}
  WINEDEBUG=-all,err+module
  WINEDLLOVERRIDES=mscoree,mshtml=
  LC_ALL=ru_RU.UTF-8)

add_test(NAME wine_prefix COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh ${NCM_WINE_PREFIX})
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
find_program(NCM_WINESERVER NAMES wineserver PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(NCM_WINESERVER)
  # Ends the Wine session; no server left is fine too.
  add_test(NAME wine_shutdown COMMAND sh -c "\"$1\" -k || true" sh ${NCM_WINESERVER})
  set_tests_properties(wine_shutdown PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${NCM_WINE_ENV}")
endif()

# Gives an existing test the Wine environment (plus `extra` variables, which
# win over the defaults) and the prefix.
function(ncm_wine_test_properties name)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "${NCM_WINE_ENV};${ARGN}"
    FIXTURES_REQUIRED wine)
endfunction()

# ncm_add_wine_test(name COMMAND target args... [ENVIRONMENT VAR=value...])
function(ncm_add_wine_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "COMMAND;ENVIRONMENT")
  add_test(NAME ${name} COMMAND ${arg_COMMAND})
  ncm_wine_test_properties(${name} ${arg_ENVIRONMENT})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
