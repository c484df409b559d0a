# The report fonts: the Japanese faces of Noto Sans CJK and Noto Serif CJK
# (Debian's fonts-noto-cjk; the serif face sets the sheet prints' Mincho cells) saved by scripts/report-font.py with a character map whose
# shared glyphs name the plain characters, so PDF text can be searched and
# copied as printed. They go to <build>/fonts; the engine looks for them beside
# the executable (fonts/) and then there. Without python3-fonttools or the
# collections the step is skipped with a warning and the engine falls back to
# the system's fonts, whose text layer names some kanji by radical look-alikes.
find_program(TABULON_FONT_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(TABULON_FONT_PYTHON python3)
set(TABULON_CJK_FONT_DIR /usr/share/fonts/opentype/noto CACHE PATH "folder of NotoSansCJK-*.ttc")
set(TABULON_REPORT_FONT_DIR ${CMAKE_BINARY_DIR}/fonts)

set(_fonts_ok FALSE)
if(TABULON_FONT_PYTHON AND EXISTS ${TABULON_CJK_FONT_DIR}/NotoSansCJK-Regular.ttc
   AND EXISTS ${TABULON_CJK_FONT_DIR}/NotoSansCJK-Bold.ttc
   AND EXISTS ${TABULON_CJK_FONT_DIR}/NotoSerifCJK-Regular.ttc
   AND EXISTS ${TABULON_CJK_FONT_DIR}/NotoSerifCJK-Bold.ttc)
  execute_process(COMMAND ${TABULON_FONT_PYTHON} -c "import fontTools"
                  RESULT_VARIABLE _fonttools_missing OUTPUT_QUIET ERROR_QUIET)
  if(NOT _fonttools_missing)
    set(_fonts_ok TRUE)
  endif()
endif()

if(_fonts_ok)
  # output name, collection, weight, face index (Sans: 0 = JP, 5 = Mono JP; Serif: 0 = JP), family
  set(_faces "sans.otf:Sans:Regular:0:Tabulon Sans JP" "sans-bold.otf:Sans:Bold:0:Tabulon Sans JP"
             "mono.otf:Sans:Regular:5:Tabulon Mono JP" "mono-bold.otf:Sans:Bold:5:Tabulon Mono JP"
             "serif.otf:Serif:Regular:0:Tabulon Serif JP" "serif-bold.otf:Serif:Bold:0:Tabulon Serif JP")
  set(_outputs)
  foreach(_entry IN LISTS _faces)
    string(REPLACE ":" ";" _face ${_entry})
    list(GET _face 0 _name)
    list(GET _face 1 _collection)
    list(GET _face 2 _weight)
    list(GET _face 3 _index)
    list(GET _face 4 _family)
    set(_source ${TABULON_CJK_FONT_DIR}/Noto${_collection}CJK-${_weight}.ttc)
    add_custom_command(OUTPUT ${TABULON_REPORT_FONT_DIR}/${_name}
                              ${TABULON_REPORT_FONT_DIR}/${_name}.aliases
      COMMAND ${CMAKE_COMMAND} -E make_directory ${TABULON_REPORT_FONT_DIR}
      COMMAND ${TABULON_FONT_PYTHON} ${CMAKE_SOURCE_DIR}/scripts/report-font.py
              ${_source} ${_index} ${_family} ${TABULON_REPORT_FONT_DIR}/${_name}
      DEPENDS ${CMAKE_SOURCE_DIR}/scripts/report-font.py ${_source}
      COMMENT "Preparing report font ${_name}"
      VERBATIM)
    list(APPEND _outputs ${TABULON_REPORT_FONT_DIR}/${_name})
  endforeach()
  add_custom_target(tabulon_report_fonts ALL DEPENDS ${_outputs})
  add_dependencies(tabulon_reports tabulon_report_fonts)
else()
  message(WARNING "Report fonts not prepared (needs python3-fonttools and fonts-noto-cjk; "
                  "run scripts/deps): PDF text will name some kanji by their radical look-alikes")
endif()
target_compile_definitions(tabulon_reports PRIVATE
  TABULON_REPORT_FONT_DIR="${TABULON_REPORT_FONT_DIR}")
