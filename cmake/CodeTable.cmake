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
