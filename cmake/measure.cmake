# Measurement builds, made only by tools/measure-fps.sh; the program as
# shipped is built with both options off and has no such switch.
#   T462_MEASURE            t462.exe appends frame rate and per-phase times to
#                           t462-timing.log (src/capture/frame_timing.h)
#   T462_MEASURE_NO_CAPTURE the same loop without the per-frame capture
option(T462_MEASURE "Measurement build: log frame timings to t462-timing.log" OFF)
option(T462_MEASURE_NO_CAPTURE "Measurement build without the per-frame capture" OFF)

if(T462_MEASURE_NO_CAPTURE)
  set(T462_MEASURE ON)
endif()
if(T462_MEASURE AND WIN32)
  target_compile_definitions(t462_core PRIVATE T462_MEASURE
    $<$<BOOL:${T462_MEASURE_NO_CAPTURE}>:T462_MEASURE_NO_CAPTURE>)
  # Every call of the model's two loaders passes through the timing
  # wrappers of frame_timing.cpp.
  foreach(program t462 t462_system_d3dx)
    if(TARGET ${program})
      target_link_options(${program} PRIVATE
        "LINKER:--wrap=_ZN8platform17D3DXLoadMeshFromXEPKcjPNS_15Direct3DDevice9EPPNS_10D3DXBufferES6_S6_PjPPNS_8D3DXMeshE"
        "LINKER:--wrap=_ZN8platform25D3DXCreateTextureFromFileEPNS_15Direct3DDevice9EPKcPPNS_16Direct3DTexture9E")
    endif()
  endforeach()
endif()
