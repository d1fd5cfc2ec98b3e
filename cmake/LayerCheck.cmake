# arvenzo_forbid_gui(TARGET)
# Fails the build when TARGET links Qt Gui or Qt Widgets: at configure time
# when either is anywhere in its link closure, and after every build of it
# when its archive refers to a symbol that either library defines.
set(ARVENZO_GUI_LIBRARIES Qt6::Gui Qt6::Widgets Qt6::GuiPrivate Qt6::WidgetsPrivate)

function(_arvenzo_link_closure target out)
  set(pending ${target})
  set(seen "")
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(aliased ${current} ALIASED_TARGET)
    if(aliased)
      list(APPEND pending ${aliased})
    endif()
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(links ${current} ${property})
      if(NOT links)
        continue()
      endif()
      foreach(link IN LISTS links)
        # $<LINK_ONLY:x> and the like still link x.
        string(REGEX REPLACE "^\\$<[A-Z_]+:(.*)>$" "\\1" link "${link}")
        list(APPEND pending ${link})
      endforeach()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(_arvenzo_check_closure target)
  _arvenzo_link_closure(${target} closure)
  foreach(gui IN LISTS ARVENZO_GUI_LIBRARIES)
    if(gui IN_LIST closure)
      message(FATAL_ERROR "${target} must not link ${gui}: it is the windowless core.")
    endif()
  endforeach()
endfunction()

function(arvenzo_forbid_gui target)
  # Deferred to the end of the directory, so that later links count too.
  cmake_language(EVAL CODE "cmake_language(DEFER CALL _arvenzo_check_closure ${target})")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/no-gui-symbols.sh $<TARGET_FILE:${target}>
            $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    COMMENT "Checking that ${target} uses no window library"
    VERBATIM)
endfunction()
