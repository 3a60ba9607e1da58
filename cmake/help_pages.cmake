# The help pages of a program: every <language>/<page> under PAGES goes to
# HTML/<language>/ in the program's folder, with the PICTURES from PICTURES_DIR in
# HTML/<language>/images/: in the build tree beside the executable (built in the calling
# folder's binary folder) and in the install under DESTINATION.
#   add_help_pages(target PAGE name PAGES dir PICTURES_DIR dir PICTURES file... DESTINATION dir)
function(add_help_pages target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "PAGE;PAGES;PICTURES_DIR;DESTINATION" "PICTURES")
  file(GLOB pages CONFIGURE_DEPENDS RELATIVE ${ARG_PAGES} ${ARG_PAGES}/*/${ARG_PAGE})
  set(outputs)
  foreach(page IN LISTS pages)
    get_filename_component(language ${page} DIRECTORY)
    set(sources ${ARG_PAGES}/${page})
    set(folders "${language}")
    foreach(picture IN LISTS ARG_PICTURES)
      list(APPEND sources ${ARG_PICTURES_DIR}/${picture})
      list(APPEND folders "${language}/images")
    endforeach()
    foreach(source folder IN ZIP_LISTS sources folders)
      get_filename_component(name ${source} NAME)
      set(output ${CMAKE_CURRENT_BINARY_DIR}/HTML/${folder}/${name})
      add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${output}
        DEPENDS ${source}
        COMMENT "Help page file HTML/${folder}/${name}")
      list(APPEND outputs ${output})
      install(FILES ${source} DESTINATION ${ARG_DESTINATION}/HTML/${folder})
    endforeach()
  endforeach()
  add_custom_target(${target}_help DEPENDS ${outputs})
  add_dependencies(${target} ${target}_help)
endfunction()
