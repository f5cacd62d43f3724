# cmake -DOBJECTS=<object files> -DNM=<nm> -DOBJDUMP=<objdump> [-DENTRY=<symbol>]
#       -P avx2isolation.cmake
# Fails when an object compiled for AVX2 defines a global or weak symbol other than its entry
# (runAvx2Kernel unless ENTRY names another; an inline function the linker might pick for the
# whole program), or when its code holds a fused multiply-add (a contraction that changes the
# last bit).
if(NOT ENTRY)
    set(ENTRY "runAvx2Kernel(KernelJob const&)")
endif()
foreach(object IN LISTS OBJECTS)
    execute_process(COMMAND ${NM} --defined-only -C ${object} OUTPUT_VARIABLE symbols
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${NM} failed on ${object}")
    endif()
    string(REPLACE "\n" ";" symbols "${symbols}")
    foreach(line IN LISTS symbols)
        # "address type name": upper-case types and u, v, w, i are visible outside the object.
        if(line MATCHES "^[0-9a-f]* ([A-Zuvwi]) (.*)$" AND
           NOT CMAKE_MATCH_2 STREQUAL ENTRY)
            message(FATAL_ERROR "${object} shares '${CMAKE_MATCH_2}' (${CMAKE_MATCH_1})")
        endif()
    endforeach()
    execute_process(COMMAND ${OBJDUMP} -d ${object} OUTPUT_VARIABLE code RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${OBJDUMP} failed on ${object}")
    endif()
    if(code MATCHES "vfn?m(add|sub)")
        message(FATAL_ERROR "${object} holds a fused multiply-add")
    endif()
    if(NOT code MATCHES "vdivpd")
        message(FATAL_ERROR "${object} holds no vector division: not the kernel?")
    endif()
endforeach()
