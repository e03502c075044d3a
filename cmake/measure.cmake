# Measurement builds, made only by tools/measure-fps.sh; the program as
# shipped is built with both options off and has no such switch.
#   T462_MEASURE            t462.exe appends frame rate and per-phase times to
#                           t462-timing.log (src/measure/frame_timing.h)
#   T462_MEASURE_NO_CAPTURE the same loop without the per-frame capture
option(T462_MEASURE "Measurement build: log frame timings to t462-timing.log" OFF)
option(T462_MEASURE_NO_CAPTURE "Measurement build without the per-frame capture" OFF)

if(T462_MEASURE_NO_CAPTURE)
  set(T462_MEASURE ON)
endif()
if(T462_MEASURE AND WIN32)
  target_compile_definitions(t462_core PRIVATE T462_MEASURE
    $<$<BOOL:${T462_MEASURE_NO_CAPTURE}>:T462_MEASURE_NO_CAPTURE>)
endif()
