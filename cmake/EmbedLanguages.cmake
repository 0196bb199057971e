# Writes OUTPUT: a C++ source holding the bytes of every LANGUAGES file (lang-<code>.ini) but English,
# whose texts the code holds itself, as kShippedLanguages. Run by the build with cmake -P.
set(body "")
foreach(file IN LISTS LANGUAGES)
  get_filename_component(name "${file}" NAME_WE)
  string(REGEX REPLACE "^lang-" "" code "${name}")
  if(code STREQUAL "en")
    continue()
  endif()
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR hex_length "${digits} / 2")
  string(REGEX REPLACE "(..)" "\\\\x\\1" bytes "${hex}")
  # Literals of a few hundred bytes each: every compiler takes them.
  string(REGEX REPLACE "((\\\\x..){200})" "\\1\"\n\"" bytes "${bytes}")
  string(APPEND body "    {\"${code}\", std::string(\"${bytes}\", ${hex_length})},\n")
endforeach()
file(WRITE "${OUTPUT}.new" "// Generated from config/languages by cmake/EmbedLanguages.cmake.\n#include \"config/Languages.h\"\n\nnamespace yar {\n\nextern const std::vector<TLanguageFile> kShippedLanguages;\nconst std::vector<TLanguageFile> kShippedLanguages = {\n${body}};\n\n} // namespace yar\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
