// The shaders' parameter records, as the renderer lays them out
// from the shaders' declarations.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/records.h"

namespace zarn::shaders {

using host::Boolean;
using host::Tag;
using Integer = std::int32_t;
using Scalar = float;

struct SettingsParameters {
  std::int32_t unread_0[2];
  Boolean finalgather_force;
  std::int32_t unread_12[13];
  Integer finalgather_reflection_prerejection;
  Boolean importon_enable;
  Integer importon_emitted;
  Scalar importon_density;
  Scalar importon_merge;
  Integer importon_task_size;
  Integer importon_trace_depth;
  Integer importon_traverse;
  Boolean irradiance_particles_enable;
  Integer irradiance_particles_rays;
  Integer irradiance_particles_indirect_passes;
  Integer irradiance_particles_interpolate;
  Integer irradiance_particles_interppoints;
  Integer irradiance_particles_env;
  Integer irradiance_particles_env_rays;
  Scalar irradiance_particles_env_scale;
  Tag irradiance_particles_file;
  Integer irradiance_particles_rebuild;
  Scalar irradiance_particles_scale;
  Integer environment_lighting_mode;
  Scalar environment_lighting_quality;
  Integer environment_lighting_shadow;
  Integer environment_lighting_approximate_split;
  Integer environment_lighting_approximate_split_vis;
  Integer progressive_mode;
  Integer progressive_subsampling_size;
  Boolean progressive_subsampling_detail;
  Boolean progressive_subsampling_scatter;
  Integer progressive_min_samples;
  Integer progressive_max_samples;
  Integer progressive_max_time;
  Scalar progressive_error_threshold;
  Integer ambient_occlusion_mode;
  Integer ambient_occlusion_cache_density;
  Integer ambient_occlusion_cache_points;
  Integer ambient_occlusion_rays;
  Boolean render_options_flag;
  Boolean rast_hair_disposable;
  std::int32_t unread_216;
  Boolean ray_differential;
};

#define ZARN_AT(member, position) \
  static_assert(offsetof(SettingsParameters, member) == position, #member)
ZARN_AT(finalgather_force, 8);
ZARN_AT(finalgather_reflection_prerejection, 64);
ZARN_AT(importon_enable, 68);
ZARN_AT(importon_traverse, 92);
ZARN_AT(irradiance_particles_enable, 96);
ZARN_AT(irradiance_particles_env_scale, 124);
ZARN_AT(irradiance_particles_file, 128);
ZARN_AT(irradiance_particles_scale, 136);
ZARN_AT(environment_lighting_mode, 140);
ZARN_AT(environment_lighting_approximate_split_vis, 156);
ZARN_AT(progressive_mode, 160);
ZARN_AT(progressive_error_threshold, 188);
ZARN_AT(ambient_occlusion_mode, 192);
ZARN_AT(ambient_occlusion_rays, 204);
ZARN_AT(render_options_flag, 208);
ZARN_AT(rast_hair_disposable, 212);
ZARN_AT(ray_differential, 220);
#undef ZARN_AT
static_assert(sizeof(SettingsParameters) == 224);

// The trace-continue shader's parameter record.
struct TraceContinueParameters {
  host::Colour color;
  Boolean continue_ray;
};
static_assert(offsetof(TraceContinueParameters, continue_ray) == 16);
static_assert(sizeof(TraceContinueParameters) == 20);

}  // namespace zarn::shaders
