# Builds a small tree whose lowest folder includes a header of the highest and runs the layer
# check on it: the check must stop and name that line (the test expects its message).
set(root ${CMAKE_CURRENT_BINARY_DIR}/layers_fixture/ui)
file(REMOVE_RECURSE ${root})
file(WRITE ${root}/kit/base.h "#pragma once\n")
file(WRITE ${root}/screens/screen.cpp "#include \"ui/kit/base.h\"\n")
file(WRITE ${root}/app/assembly.h "#include \"ui/screens/screen.h\"\n")
file(WRITE ${root}/kit/wrong.cpp "#include \"ui/kit/base.h\"\n#include \"ui/app/assembly.h\"\n")
include(${LAYERS_SCRIPT})
ardivo_check_layers(${root} PREFIX ui/ kit screens app)
message("The layer check let a wrong include through")
