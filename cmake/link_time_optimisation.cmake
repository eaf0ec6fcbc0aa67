# Link-time optimisation where it is measured and shipped, and nowhere else: with
# VKD_LINK_TIME_OPTIMISATION the sources of src/ and bench/ compile to fat objects (the
# optimiser's intermediate code and ordinary machine code in one), the programs we ship
# (clicker, the simulated libcsp2a.so) and the benchmarks link with the optimiser, and the
# test programs link the ordinary machine code, which takes seconds instead of minutes.
option(VKD_LINK_TIME_OPTIMISATION "Link-time optimisation of the shipped programs and the benchmarks" OFF)

# vkd_optimise_at_link_time(): for the folder of shipped programs or benchmarks.
macro(vkd_optimise_at_link_time)
  if(VKD_LINK_TIME_OPTIMISATION)
    add_compile_options(-flto=auto -ffat-lto-objects)
    add_link_options(-flto=auto)
  endif()
endmacro()

# vkd_link_without_optimiser(): for the folder of test programs, which link the machine
# code of the same objects. (g++ optimises at link time whenever the objects carry its
# intermediate code, unless told not to.)
macro(vkd_link_without_optimiser)
  if(VKD_LINK_TIME_OPTIMISATION)
    add_link_options(-fno-lto)
  endif()
endmacro()
