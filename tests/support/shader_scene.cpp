#include "tests/support/shader_scene.h"

#include "binding/entry_table.h"
#include "tests/support/modules.h"

namespace zarn::testing {

ShaderScene::ShaderScene() { miSetModuleHandle(stand_in_module()); }

}  // namespace zarn::testing
