# cmake -DPAGE=<page> [-DPROGRAM=<program> -DNAME=<name> -DSUMMARY=<text> -DVERSION=<v>] -P ManPage.cmake
# With PROGRAM, writes PAGE from the program's --help; then gzips PAGE into PAGE.gz.
if(PROGRAM)
    # A sanitizer build would report the toolkit's memory still held at exit as a failure.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 ${PROGRAM} --help
        OUTPUT_VARIABLE help ERROR_VARIABLE help_errors RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR help STREQUAL "")
        message(FATAL_ERROR "${PROGRAM} --help failed (${result}): ${help_errors}")
    endif()
    # The help names the program by the path it was started with; the page by its installed name.
    string(REPLACE "${PROGRAM}" "${NAME}" help "${help}")
    # roff: backslashes are escapes, and a line starting with a dot or a quote is a request.
    string(REPLACE "\\" "\\e" help "${help}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
    if(NOT help MATCHES "\n$")
        string(APPEND help "\n")
    endif()
    string(TOUPPER "${NAME}" title)
    file(WRITE ${PAGE} ".TH ${title} 1 \"\" \"Lumetra ${VERSION}\" \"User Commands\"
.SH NAME
${NAME} \\- ${SUMMARY}
.SH DESCRIPTION
.nf
${help}.fi
.SH SEE ALSO
.BR lumetra (1)
")
endif()
file(ARCHIVE_CREATE OUTPUT ${PAGE}.gz PATHS ${PAGE} FORMAT raw COMPRESSION GZip)
