# libFuzzer targets built with clang, AddressSanitizer and UndefinedBehaviorSanitizer, included
# by the top level when TAVLEN_BUILD_FUZZERS is on (the fuzz preset); the targets are added once
# the whole top level has been read, so they can use what it found (Qt, PCRE2, the generated
# headers). Only the sources the fuzzed readers and converters need are compiled
# again, instrumented, into a small static library of their own; nothing here uses the widgets.
set(tavlen_fuzz_dir ${CMAKE_CURRENT_LIST_DIR})

# tavlen_add_fuzzer(<name>): fuzz/<name>.cpp defines LLVMFuzzerTestOneInput; seeds in
# fuzz/corpus/<name>/.
function(tavlen_add_fuzzer name)
  add_executable(${name} ${tavlen_fuzz_dir}/${name}.cpp)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE tavlen_fuzzcore)
endfunction()

function(tavlen_add_fuzz_targets)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (libFuzzer); configure with the fuzz preset.")
  endif()

  set(src ${CMAKE_SOURCE_DIR}/src)
  set(ref ${CMAKE_SOURCE_DIR}/reference)
  add_library(tavlen_fuzzcore STATIC
    ${src}/about/versionstring.cpp
    ${src}/platform/programfolder.cpp
    ${ref}/rtf/rtfreader.cpp ${ref}/rtf/rtfwriter.cpp ${ref}/rtf/rtfkeywords.cpp ${ref}/nkfcall.cpp
    ${src}/files/atomicwrite.cpp ${src}/files/systemreason.cpp
    ${src}/files/fileio.cpp ${src}/files/fileidentity.cpp ${src}/files/inplacewrite.cpp
    ${src}/files/originalcopy.cpp ${src}/files/regularfile.cpp ${src}/files/filestamp.cpp
    ${src}/files/recoveryfolder.cpp ${src}/files/snapshot.cpp ${src}/files/readdocument.cpp
    ${src}/codec/cp932.cpp ${src}/codec/cp932table.cpp ${src}/codec/cp932chartables.cpp
    ${src}/codec/cp932output.cpp
    ${src}/codec/detect.cpp ${src}/codec/eucjp.cpp ${src}/codec/ibmeuc.cpp
    ${src}/codec/iso2022jp.cpp ${src}/codec/nkf.cpp
    ${src}/codec/utf8.cpp ${src}/codec/filetext.cpp ${src}/codec/textcode.cpp ${src}/codec/encodinglabels.cpp
    ${src}/codec/charsetdeclaration.cpp ${src}/document/declarationcheck.cpp
    ${src}/markup/ecmapattern.cpp ${src}/markup/regexp.cpp ${src}/markup/regexperror.cpp
    ${src}/markup/replacement.cpp
    ${src}/site/pagecodec.cpp
    ${src}/settings/textforms.cpp
    ${src}/tagsets/placeholders.cpp ${src}/tagsets/tagsetfile.cpp ${src}/tagsets/tagsetfolder.cpp
    ${CMAKE_SOURCE_DIR}/resources/tagsets.qrc)
  set_target_properties(tavlen_fuzzcore PROPERTIES AUTOMOC OFF AUTORCC ON)
  target_include_directories(tavlen_fuzzcore PUBLIC ${src} ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/src/generated)
  target_compile_definitions(tavlen_fuzzcore
    PUBLIC QT_NO_KEYWORDS PCRE2_CODE_UNIT_WIDTH=16 QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
  # vptr checks would need Qt itself built with the sanitizer; every other check is fatal.
  set(tavlen_sanitizers -fsanitize=address,undefined -fno-sanitize=vptr
      -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(tavlen_fuzzcore PUBLIC ${tavlen_sanitizers}
    PRIVATE -fsanitize=fuzzer-no-link)
  target_link_options(tavlen_fuzzcore PUBLIC -fsanitize=address,undefined)
  target_link_libraries(tavlen_fuzzcore PUBLIC Qt6::Core Qt6::Gui PkgConfig::PCRE2
    PkgConfig::ACL PkgConfig::XATTR PkgConfig::XXHASH)

  tavlen_add_fuzzer(fuzz_rtfreader)
  tavlen_add_fuzzer(fuzz_nkf)
  tavlen_add_fuzzer(fuzz_tagsetfile)
  tavlen_add_fuzzer(fuzz_textforms)
  tavlen_add_fuzzer(fuzz_regexp)
  tavlen_add_fuzzer(fuzz_utf8)
  tavlen_add_fuzzer(fuzz_charsetdeclaration)
  tavlen_add_fuzzer(fuzz_sitepage)
endfunction()

cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL tavlen_add_fuzz_targets)
