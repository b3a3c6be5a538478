// The shipped declarations, read as the renderer reads them: every parameter
// the shaders read must land at the byte position the shaders read it at,
// written out here, and the library's records must agree, so that a wrong
// record is not mirrored by a wrong declaration.
#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "shaders/parameter_records.h"
#include "tools/preview/declaration.h"

namespace zarn::preview {
namespace {

using shaders::SettingsParameters;
using shaders::TraceContinueParameters;

// Beside the test program, copied there by the build.
const Declarations& shipped() {
  static const Declarations d = read_declarations("zarn_tarvo_settings.mi");
  return d;
}

const ShaderDeclaration& shader(const char* name) {
  const ShaderDeclaration* s = shipped().find(name);
  if (s == nullptr) {
    ADD_FAILURE() << "no declaration of " << name;
    static const ShaderDeclaration none;
    return none;
  }
  return *s;
}

struct Position {
  const char* name;
  std::size_t read_at;        // where the shader reads it
  std::size_t record_offset;  // offsetof in the library's record
  Type type;
};

#define AT(member, offset, type) \
  Position { #member, offset, offsetof(SettingsParameters, member), Type::type }

const Position settings_positions[] = {
    AT(finalgather_force, 8, boolean),
    AT(finalgather_reflection_prerejection, 64, integer),
    AT(importon_enable, 68, boolean),
    AT(importon_emitted, 72, integer),
    AT(importon_density, 76, scalar),
    AT(importon_merge, 80, scalar),
    AT(importon_task_size, 84, integer),
    AT(importon_trace_depth, 88, integer),
    AT(importon_traverse, 92, integer),
    AT(irradiance_particles_enable, 96, boolean),
    AT(irradiance_particles_rays, 100, integer),
    AT(irradiance_particles_indirect_passes, 104, integer),
    AT(irradiance_particles_interpolate, 108, integer),
    AT(irradiance_particles_interppoints, 112, integer),
    AT(irradiance_particles_env, 116, integer),
    AT(irradiance_particles_env_rays, 120, integer),
    AT(irradiance_particles_env_scale, 124, scalar),
    AT(irradiance_particles_file, 128, string),
    AT(irradiance_particles_rebuild, 132, integer),
    AT(irradiance_particles_scale, 136, scalar),
    AT(environment_lighting_mode, 140, integer),
    AT(environment_lighting_quality, 144, scalar),
    AT(environment_lighting_shadow, 148, integer),
    AT(environment_lighting_approximate_split, 152, integer),
    AT(environment_lighting_approximate_split_vis, 156, integer),
    AT(progressive_mode, 160, integer),
    AT(progressive_subsampling_size, 164, integer),
    AT(progressive_subsampling_detail, 168, boolean),
    AT(progressive_subsampling_scatter, 172, boolean),
    AT(progressive_min_samples, 176, integer),
    AT(progressive_max_samples, 180, integer),
    AT(progressive_max_time, 184, integer),
    AT(progressive_error_threshold, 188, scalar),
    AT(ambient_occlusion_mode, 192, integer),
    AT(ambient_occlusion_cache_density, 196, integer),
    AT(ambient_occlusion_cache_points, 200, integer),
    AT(ambient_occlusion_rays, 204, integer),
    AT(render_options_flag, 208, boolean),
    AT(rast_hair_disposable, 212, boolean),
    AT(ray_differential, 220, boolean),
};
#undef AT

const Position trace_continue_positions[] = {
    {"color", 0, offsetof(TraceContinueParameters, color), Type::color},
    {"continue_ray", 16, offsetof(TraceContinueParameters, continue_ray), Type::boolean},
};

struct ShaderPositions {
  const char* shader;
  const Position* begin;
  const Position* end;
};

void PrintTo(const ShaderPositions& c, std::ostream* os) { *os << c.shader; }

class DeclaredPositions : public ::testing::TestWithParam<ShaderPositions> {};

TEST_P(DeclaredPositions, EveryParameterLiesWhereTheShaderReadsItAndInTheLibrarysRecord) {
  const ShaderDeclaration& s = shader(GetParam().shader);
  for (const Position* p = GetParam().begin; p != GetParam().end; ++p) {
    SCOPED_TRACE(p->name);
    const Parameter* declared = s.find(p->name);
    ASSERT_NE(declared, nullptr);
    EXPECT_EQ(declared->offset, p->read_at);
    EXPECT_EQ(p->record_offset, p->read_at);
    EXPECT_EQ(declared->type, p->type);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shaders, DeclaredPositions,
    ::testing::Values(ShaderPositions{"zarn_tarvo_settings", std::begin(settings_positions),
                                      std::end(settings_positions)},
                      ShaderPositions{"zarn_TraceContinue", std::begin(trace_continue_positions),
                                      std::end(trace_continue_positions)}),
    [](const auto& info) { return std::string(info.param.shader); });

// What the settings shader never reads: every other declared parameter must
// lie inside these, so that none can push a read position out of place.
struct Range {
  std::size_t first, last;
};
const Range never_read[] = {{0, 7}, {12, 63}, {216, 219}};

TEST(SettingsDeclaration, PlaceholdersFillExactlyTheBytesTheShaderNeverReads) {
  const ShaderDeclaration& s = shader("zarn_tarvo_settings");
  std::set<std::string> read;
  for (const Position& p : settings_positions) read.insert(p.name);
  std::vector<bool> covered(224, false);
  for (const Parameter& p : s.parameters) {
    SCOPED_TRACE(p.name);
    if (read.count(p.name) != 0) continue;
    EXPECT_EQ(type_size(p.type), 4u);
    bool inside = false;
    for (const Range& r : never_read) inside = inside || (p.offset >= r.first && p.offset + 3 <= r.last);
    EXPECT_TRUE(inside) << "at " << p.offset;
    for (std::size_t b = p.offset; b < p.offset + 4 && b < covered.size(); ++b) covered[b] = true;
  }
  for (const Range& r : never_read)
    for (std::size_t b = r.first; b <= r.last; ++b) EXPECT_TRUE(covered[b]) << "byte " << b;
  EXPECT_EQ(s.record_size, sizeof(SettingsParameters));
}

TEST(TraceContinueDeclaration, RecordIsTheColourAndTheSwitchAlone) {
  const ShaderDeclaration& s = shader("zarn_TraceContinue");
  EXPECT_EQ(s.parameters.size(), 2u);
  EXPECT_EQ(s.record_size, sizeof(TraceContinueParameters));
  EXPECT_EQ(s.result_type, "color");
}

TEST(Declarations, BothShadersAreVersionOne) {
  ASSERT_EQ(shipped().shaders.size(), 2u);
  for (const ShaderDeclaration& s : shipped().shaders) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(s.version, 1);
  }
}

// Defaults: options whose "write nothing" value exists keep the renderer's
// own setting, and every group starts switched off.
struct Default {
  const char* name;
  Value value;
};
Value boolean(bool b) {
  Value v;
  v.type = Type::boolean;
  v.boolean = b;
  return v;
}
Value integer(std::int32_t i) {
  Value v;
  v.type = Type::integer;
  v.integer = i;
  return v;
}
Value scalar(float f) {
  Value v;
  v.type = Type::scalar;
  v.scalar = f;
  return v;
}

const Default settings_defaults[] = {
    {"finalgather_force", boolean(false)},
    {"importon_enable", boolean(false)},
    {"irradiance_particles_enable", boolean(false)},
    {"environment_lighting_mode", integer(0)},
    {"environment_lighting_shadow", integer(-1)},
    {"progressive_mode", integer(0)},
    {"progressive_subsampling_size", integer(0)},
    {"progressive_min_samples", integer(-1)},
    {"progressive_max_samples", integer(-1)},
    {"progressive_max_time", integer(-1)},
    {"progressive_error_threshold", scalar(-1.0f)},
    {"ambient_occlusion_mode", integer(0)},
    {"render_options_flag", boolean(false)},
    {"rast_hair_disposable", boolean(false)},
    {"ray_differential", boolean(false)},
};

TEST(SettingsDeclaration, DefaultsLeaveOptionsAloneAndSwitchGroupsOff) {
  const ShaderDeclaration& s = shader("zarn_tarvo_settings");
  for (const Default& d : settings_defaults) {
    SCOPED_TRACE(d.name);
    const Parameter* p = s.find(d.name);
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(p->fallback.has_value());
    ASSERT_EQ(p->fallback->type, d.value.type);
    EXPECT_EQ(p->fallback->boolean, d.value.boolean);
    EXPECT_EQ(p->fallback->integer, d.value.integer);
    EXPECT_EQ(p->fallback->scalar, d.value.scalar);
  }
}

}  // namespace
}  // namespace zarn::preview
