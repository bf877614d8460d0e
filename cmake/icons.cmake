# tamrix_icons(TARGET RCFILE DRAWING...)
# Turns each drawing (NAME.txt, see tools/mkicon) into NAME.ico in the target's build folder,
# where the target's .rc file finds it.
function(tamrix_icons target rc)
    foreach(drawing ${ARGN})
        get_filename_component(name ${drawing} NAME_WE)
        set(ico ${CMAKE_CURRENT_BINARY_DIR}/${name}.ico)
        add_custom_command(OUTPUT ${ico}
            COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/mkicon ${CMAKE_CURRENT_SOURCE_DIR}/${drawing} ${ico}
            DEPENDS ${drawing} ${PROJECT_SOURCE_DIR}/tools/mkicon
            VERBATIM)
        list(APPEND icons ${ico})
    endforeach()
    set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${icons})
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
