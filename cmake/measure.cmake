# Measurement builds, made only by tools/measure-fps.sh; the program as
# shipped is built with both options off and has no such switch.
#   T462_MEASURE            the program (t462.exe, or the Linux program)
#                           appends frame rate and per-phase times to
#                           t462-timing.log (src/measure/frame_timing.h)
#   T462_MEASURE_NO_CAPTURE the same loop without the per-frame capture
option(T462_MEASURE "Measurement build: log frame timings to t462-timing.log" OFF)
option(T462_MEASURE_NO_CAPTURE "Measurement build without the per-frame capture" OFF)

if(T462_MEASURE_NO_CAPTURE)
  set(T462_MEASURE ON)
endif()
if(T462_MEASURE)
  # Every timed call lives in the portable core, which both programs link.
  # On a host the unit tests and benchmarks link the same core: a measuring
  # core there would write timing logs from the tests and, without the
  # capture, fail them. So a host measurement build is of the Linux program
  # alone.
  if(NOT WIN32 AND NOT T462_LINUX_PROGRAM)
    message(FATAL_ERROR "T462_MEASURE measures a program: build t462.exe (mingw toolchain) "
      "or the Linux program (-DT462_LINUX_PROGRAM=ON)")
  endif()
  if(NOT WIN32 AND T462_BUILD_TESTS)
    message(FATAL_ERROR "T462_MEASURE on a host needs -DT462_BUILD_TESTS=OFF: the unit tests "
      "link the same core and would run the measuring one")
  endif()
  target_compile_definitions(t462_core PRIVATE T462_MEASURE
    $<$<BOOL:${T462_MEASURE_NO_CAPTURE}>:T462_MEASURE_NO_CAPTURE>)
endif()
