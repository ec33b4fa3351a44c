# The fuzz targets and the libraries each one links: fuzz_<name>.cpp holds
# the entry point LLVMFuzzerTestOneInput. Shared by the libFuzzer build
# (fuzz/) and by the replay of the corpora in the test suite (tests/fuzz/).
set(SPECTRO_FUZZ_TARGETS recordfile boxes evaluator rtf config exercise)
set(SPECTRO_FUZZ_LIBS_recordfile spectro_records)
set(SPECTRO_FUZZ_LIBS_boxes spectro_model spectro_numfmt)
set(SPECTRO_FUZZ_LIBS_evaluator spectro_calc_core)
set(SPECTRO_FUZZ_LIBS_rtf spectro_rtf spectro_common)
set(SPECTRO_FUZZ_LIBS_config spectro_mainwindow spectro_config)
set(SPECTRO_FUZZ_LIBS_exercise spectro_exercises spectro_mainwindow)

# Adds the definitions a target body needs to an executable built from it.
function(spectro_fuzz_body exe name)
    target_link_libraries(${exe} PRIVATE ${SPECTRO_FUZZ_LIBS_${name}})
    target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_definitions(${exe} PRIVATE
        SPECTRO_SOURCE_DATA_DIR="${CMAKE_SOURCE_DIR}/data")
endfunction()

# A target is built only when its libraries are part of this build.
function(spectro_fuzz_available name out)
    set(ok TRUE)
    foreach(lib IN LISTS SPECTRO_FUZZ_LIBS_${name})
        if(NOT TARGET ${lib})
            set(ok FALSE)
        endif()
    endforeach()
    set(${out} ${ok} PARENT_SCOPE)
endfunction()
