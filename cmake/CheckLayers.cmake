# Run as a test: cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
# The plain core includes only the core and the standard library; the link never includes a
# window. A line that breaks this is printed and the test fails.
set(rules
    "core|gui/|link/|cli/|discovery/|<Q"
    "link|gui/|cli/"
    "discovery|gui/|link/|cli/|<Q")
set(broken "")
foreach(rule IN LISTS rules)
    string(REPLACE "|" ";" parts "${rule}")
    list(POP_FRONT parts layer)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]")
        foreach(line IN LISTS includes)
            foreach(forbidden IN LISTS parts)
                string(FIND "${line}" "\"${forbidden}" quoted)
                string(FIND "${line}" "${forbidden}" angled)
                if(quoted GREATER -1 OR (forbidden MATCHES "^<" AND angled GREATER -1))
                    file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
                    string(APPEND broken "  ${shown}: ${line}\n")
                endif()
            endforeach()
        endforeach()
    endforeach()
endforeach()
if(broken)
    message(FATAL_ERROR "Includes against the layers:\n${broken}")
endif()
