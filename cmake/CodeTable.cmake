# sync_code_table(VAR FILE): the SYNC_CODE(NAME, VALUE, "meaning") lines of FILE (a table the code
# includes: exit statuses, reject codes) as manual page paragraphs in VAR, one .TP each with the value
# in bold, so that a page lists exactly the codes the program acts by. A change of FILE configures
# again.
function(sync_code_table var file)
    file(STRINGS ${file} lines REGEX "^SYNC_CODE\\(")
    set(roff "")
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^SYNC_CODE\\([A-Z_]+, *([0-9]+), *\"([^\"]*)\"\\)$")
            message(FATAL_ERROR "${file}: not a SYNC_CODE(NAME, VALUE, \"meaning\") line: ${line}")
        endif()
        string(APPEND roff ".TP\n.B ${CMAKE_MATCH_1}\n${CMAKE_MATCH_2}\n")
    endforeach()
    string(STRIP "${roff}" roff)
    set(${var} "${roff}" PARENT_SCOPE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
endfunction()

# sync_metric_table(VAR FILE): the SYNC_METRIC(ID, "name", TYPE, "labels", "help") lines of FILE (the
# metrics a program serves) as manual page paragraphs in VAR, one .TP each: the name with its labels in
# bold, then its type and help, so that the page lists exactly what the program serves.
function(sync_metric_table var file)
    file(STRINGS ${file} lines REGEX "^SYNC_METRIC\\(")
    set(roff "")
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^SYNC_METRIC\\([A-Z_]+, *\"([a-z_]+)\", *(GAUGE|COUNTER), *\"([a-z ]*)\", *\"([^\"]*)\"\\)$")
            message(FATAL_ERROR "${file}: not a SYNC_METRIC(ID, \"name\", TYPE, \"labels\", \"help\") line: ${line}")
        endif()
        set(name ${CMAKE_MATCH_1})
        string(TOLOWER "${CMAKE_MATCH_2}" type)
        set(labels "${CMAKE_MATCH_3}")
        set(help "${CMAKE_MATCH_4}")
        if(labels)
            string(REPLACE " " "," labels "${labels}")
            set(name "${name}{${labels}}")
        endif()
        string(REPLACE "_" "\\_" name "${name}")
        string(REPLACE "-" "\\-" help "${help}")
        string(APPEND roff ".TP\n.B ${name}\n${type}: ${help}\n")
    endforeach()
    string(STRIP "${roff}" roff)
    set(${var} "${roff}" PARENT_SCOPE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
endfunction()
