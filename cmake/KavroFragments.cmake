# kavro_include_fragments(<glob>): includes every *.cmake fragment matching
# the glob, in the caller's scope.
#
# The fragments are included through one generated list file rather than one
# by one. AUTOMOC reruns in an existing build directory only when a file from
# its last run changes, and the list files read then are among them, but a
# fragment that is new (after a pull or a merge) is not: its Q_OBJECT headers
# would go without moc and the link would fail on a missing vtable. The
# generated file is rewritten only when the set of fragments changes, and
# that change makes AUTOMOC rerun.
macro(kavro_include_fragments pattern)
  file(GLOB _kavro_fragments CONFIGURE_DEPENDS ${pattern})
  list(TRANSFORM _kavro_fragments REPLACE "(.+)" "include(\"\\1\")\n"
    OUTPUT_VARIABLE _kavro_fragment_includes)
  list(JOIN _kavro_fragment_includes "" _kavro_fragment_includes)
  file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/fragments.cmake
    CONTENT "${_kavro_fragment_includes}" @ONLY)
  include(${CMAKE_CURRENT_BINARY_DIR}/fragments.cmake)
endmacro()
