# Our pictures are drawn as SVG and rendered to PNG at build time, so the
# program carries plain bitmaps and needs no SVG plugin when it runs.
add_executable(vantrel-render-svg ${PROJECT_SOURCE_DIR}/tools/render-svg.cpp)
target_link_libraries(vantrel-render-svg PRIVATE vantrel_config Qt6::Gui Qt6::Svg)
set_target_properties(vantrel-render-svg PROPERTIES AUTOMOC OFF AUTOUIC OFF)

# vantrel_add_pictures(TARGET NAME PREFIX SOURCE_DIR "alias|svg|width|height"...)
# Renders each SVG under SOURCE_DIR to a PNG of the given size and compiles the
# PNGs into TARGET as the Qt resource NAME, under /PREFIX/<alias>.
function(vantrel_add_pictures target name prefix source_dir)
  set(_out ${CMAKE_CURRENT_BINARY_DIR}/pictures)
  set(_files)
  foreach(_entry IN LISTS ARGN)
    string(REPLACE "|" ";" _fields "${_entry}")
    list(GET _fields 0 _alias)
    list(GET _fields 1 _source)
    list(GET _fields 2 _width)
    list(GET _fields 3 _height)
    string(MAKE_C_IDENTIFIER "${_alias}" _stem)
    set(_png ${_out}/${_stem}.png)
    add_custom_command(OUTPUT ${_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_out}
      COMMAND vantrel-render-svg ${source_dir}/${_source} ${_png} ${_width} ${_height}
      DEPENDS vantrel-render-svg ${source_dir}/${_source}
      COMMENT "Rendering ${_alias}"
      VERBATIM)
    set_source_files_properties(${_png} PROPERTIES GENERATED TRUE QT_RESOURCE_ALIAS "${_alias}")
    list(APPEND _files ${_png})
  endforeach()
  qt_add_resources(${target} ${name} PREFIX /${prefix} BASE ${_out} FILES ${_files})
endfunction()
