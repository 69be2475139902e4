# ASan + UBSan for the whole build; a UBSan finding stops the test that caused it.
if(KELVORAT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(KELVORAT_FUZZ)
  # Every object is instrumented for coverage; the fuzz targets add libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
