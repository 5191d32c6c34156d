# Warnings are errors for the project's own code; Qt's headers come in as
# system headers and are not affected.
function(kavro_set_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wfloat-conversion -Werror)
  # No silent char* <-> QString conversions: Russian texts must stay UTF-8.
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_USE_QSTRINGBUILDER QT_NO_KEYWORDS)
endfunction()
