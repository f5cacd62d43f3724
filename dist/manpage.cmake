# cmake -DHELP2MAN=... -DPROGRAM=... -DNAME=... -DINCLUDE=... -DOUTPUT=page.1.gz -P manpage.cmake
# Writes the program's manual page from its --help and --version with help2man, compressed.
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${HELP2MAN} --no-info --name=${NAME} --include=${INCLUDE} ${PROGRAM}
    OUTPUT_VARIABLE page
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man failed on ${PROGRAM}")
endif()
# --help names the thread count and the kernel of the machine it runs on; the page is for every
# machine, so those go, and a page that still says "here" is not written.
string(REGEX REPLACE ",[ \n]*[0-9]+[ \n]*here\\)" ")" page "${page}")
string(REGEX REPLACE ":[ \n]*[a-z0-9]+[ \n]*here\\)" ")" page "${page}")
if(page MATCHES "[ \n]here[ \n).,;:]")
    message(FATAL_ERROR "the manual page of ${PROGRAM} names what it found on the build machine")
endif()
string(REGEX REPLACE "\\.gz$" "" plain "${OUTPUT}")
file(WRITE "${plain}" "${page}")
execute_process(COMMAND gzip -9nf "${plain}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${plain}")
endif()
