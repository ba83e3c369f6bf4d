# The add-in package: its single files, in the order install copies them,
# and its folders. The engine, the tests, the fuzzers and the archive take
# them from here; bench/run and scripts/package read them from the cache.
set(LEXIPHON_PACKAGE_FILES SortTxtFile.bat Lexiphon.dot Lexiphon.exp Lexiphon.ini
    CACHE INTERNAL "The package's single files")
set(LEXIPHON_PACKAGE_DIRS Dictionaries CACHE INTERNAL "The package's folders")
# The same lists as C++ initialisers: L"a",L"b",
foreach(list FILES DIRS)
  set(LEXIPHON_PACKAGE_${list}_WIDE "")
  foreach(name IN LISTS LEXIPHON_PACKAGE_${list})
    string(APPEND LEXIPHON_PACKAGE_${list}_WIDE "L\"${name}\",")
  endforeach()
endforeach()

# Gives `target` the lists as LEXIPHON_PACKAGE_FILES and LEXIPHON_PACKAGE_DIRS.
function(lexiphon_package_definitions target scope)
  target_compile_definitions(${target} ${scope}
    "LEXIPHON_PACKAGE_FILES=${LEXIPHON_PACKAGE_FILES_WIDE}"
    "LEXIPHON_PACKAGE_DIRS=${LEXIPHON_PACKAGE_DIRS_WIDE}")
endfunction()
