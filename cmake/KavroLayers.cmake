# The folders of src/ depend one way:
#
#   app -> every folder
#   ui -> inspection, rtf, compute, protocol, device, platform
#   inspection -> rtf, compute, platform
#   compute -> protocol
#   device -> platform
#
# kavro_add_layer(<folder> [USES <folder>...] [QT <component>...])
# makes src/<folder> the static library kavro_<folder>. Its include path is a
# view (build/include-views/<folder>) that holds only the folder itself and
# the folders it USES, as symbolic links, so that an include of any other
# folder ("#include "ui/mainform.h"" in compute/, say) does not compile.
# The folder's sources are listed in its *.cmake fragments.
#
# Where symbolic links cannot be made (Windows without the right to create
# them) the view is the whole of src/; the direction is then kept by the
# Linux build.
function(kavro_add_layer folder)
  cmake_parse_arguments(arg "" "" "USES;QT" ${ARGN})
  set(target kavro_${folder})
  add_library(${target} STATIC)
  set(view ${CMAKE_BINARY_DIR}/include-views/${folder})
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view})
  set(include_dir ${view})
  foreach(visible IN ITEMS ${folder} ${arg_USES})
    file(CREATE_LINK ${KAVRO_SOURCE_ROOT}/${visible} ${view}/${visible} RESULT link_failed SYMBOLIC)
    if(link_failed)
      set(include_dir ${KAVRO_SOURCE_ROOT})
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE ${include_dir})
  foreach(used IN LISTS arg_USES)
    target_link_libraries(${target} PUBLIC kavro_${used})
  endforeach()
  list(TRANSFORM arg_QT PREPEND Qt6:: OUTPUT_VARIABLE qt_libraries)
  target_link_libraries(${target} PUBLIC ${qt_libraries})
  kavro_set_warnings(${target})
endfunction()
