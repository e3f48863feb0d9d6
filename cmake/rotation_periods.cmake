# The timer combo box's items, in the order it offers them: a number of
# seconds, or of hours with "Hrs" (the rotation reads the period from the
# text). The window starts on the one marked "*". This list is the one place
# a period is added: the dialog's initialisation data, the start's selection
# and the help's table of choices are made from it.
set(SULVANTIX_ROTATION_PERIODS "20 Sec" "40 Sec" "*60 Sec" "80 Sec" "100 Sec" "120 Sec" "2 Hrs")

# One item of the list: its text without the mark, and whether it is the first choice.
function(sulvantix_rotation_period item text_var is_first_var)
    if(item MATCHES "^\\*(.*)$")
        set(${text_var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
        set(${is_first_var} TRUE PARENT_SCOPE)
    else()
        set(${text_var} "${item}" PARENT_SCOPE)
        set(${is_first_var} FALSE PARENT_SCOPE)
    endif()
endfunction()

# How long an item's period is, in words: "20 seconds", "1 minute", "2 hours".
function(sulvantix_rotation_period_words text words_var)
    if(NOT text MATCHES "^([0-9]+) (Sec|Hrs)$")
        message(FATAL_ERROR "timer period \"${text}\" is neither \"N Sec\" nor \"N Hrs\"")
    endif()
    set(count ${CMAKE_MATCH_1})
    set(unit hour)
    if(CMAKE_MATCH_2 STREQUAL "Sec")
        math(EXPR minutes "${count} / 60")
        math(EXPR rest "${count} % 60")
        if(rest EQUAL 0)
            set(count ${minutes})
            set(unit minute)
        else()
            set(unit second)
        endif()
    endif()
    if(NOT count EQUAL 1)
        string(APPEND unit s)
    endif()
    set(${words_var} "${count} ${unit}" PARENT_SCOPE)
endfunction()
