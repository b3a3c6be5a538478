// A shader call's surroundings (SceneRecords) with the stand-in renderer
// handed to the library linked into the test program.
#pragma once

#include "tests/support/scene_records.h"

namespace zarn::testing {

class ShaderScene : public SceneRecords {
 public:
  // Resets the stand-in renderer and hands its module to the library.
  ShaderScene();
};

}  // namespace zarn::testing
