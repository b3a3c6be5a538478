// The renderer's objects, called through their operations.  Each class lists
// its operations in the renderer's slot order, counted from 0; slots the
// library never calls hold filler operations.  No virtual destructor and no
// overloads, so the vtable is exactly the slot list and the platform's own
// member-call convention applies.
#pragma once

#include <cstdint>

#include "host/records.h"

namespace zarn::host {

// The string options of the render options: the renderer's named options.
class OptionsAccessor {
 public:
  virtual void unused_slot_0() = 0;
  virtual void unused_slot_1() = 0;
  virtual void unused_slot_2() = 0;
  virtual void unused_slot_3() = 0;
  virtual bool set_float(const char* name, float value) = 0;           // slot 4
  virtual bool set_integer(const char* name, std::int32_t value) = 0;  // slot 5
  virtual bool set_string(const char* name, const char* value) = 0;    // slot 6
  virtual void unused_slot_7() = 0;
  virtual void unused_slot_8() = 0;
  virtual void unused_slot_9() = 0;
  virtual void unused_slot_10() = 0;
  virtual void unused_slot_11() = 0;
  virtual void unused_slot_12() = 0;
  virtual void unused_slot_13() = 0;
  virtual void unused_slot_14() = 0;
  virtual void unused_slot_15() = 0;
  virtual void release() = 0;  // slot 16

 protected:
  ~OptionsAccessor() = default;
};

class ShaderInterface {
 public:
  virtual void unused_slot_0() = 0;
  virtual OptionsAccessor* get_options_accessor(Tag string_options) = 0;  // slot 1
  virtual void unused_slot_2() = 0;
  virtual void unused_slot_3() = 0;
  virtual void unused_slot_4() = 0;
  virtual void unused_slot_5() = 0;
  virtual void release() = 0;  // slot 6

 protected:
  ~ShaderInterface() = default;
};

}  // namespace zarn::host
