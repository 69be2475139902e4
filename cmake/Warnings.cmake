# Warnings on for every target of the project; errors with KELVORAT_WERROR.
add_library(kelvorat_warnings INTERFACE)
target_compile_options(kelvorat_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
if(KELVORAT_WERROR)
  target_compile_options(kelvorat_warnings INTERFACE -Werror)
endif()
