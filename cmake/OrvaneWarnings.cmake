# orvane_warnings(target): the warning set of our own code; -Werror when ORVANE_WERROR is on.
function(orvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
    if(ORVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
