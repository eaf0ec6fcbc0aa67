# The layers of src/ and the layers each one may use. Dependencies point downwards only:
#   automation <- csp2a <- conversations <- component <- cli
# files (replacing, adding to, reading and locking files) uses none and sits beside them,
# used by the command (cli) and the simulated scanner (sim); sim uses the library's
# function list (csp2a) and files alone, nothing of the component. store (the station's
# store of what it collected) uses none either and is used by the command alone.
# The build links each layer to these and nothing else, and the layer_order test reads
# every include of src/ against the same lists.
set(VKD_LAYERS automation csp2a conversations component files store cli sim)
set(VKD_LAYER_USES_automation "")
set(VKD_LAYER_USES_csp2a automation)
set(VKD_LAYER_USES_conversations automation csp2a)
set(VKD_LAYER_USES_component automation csp2a conversations)
set(VKD_LAYER_USES_files "")
set(VKD_LAYER_USES_store "")
set(VKD_LAYER_USES_cli automation csp2a conversations component files store)
set(VKD_LAYER_USES_sim csp2a files)
