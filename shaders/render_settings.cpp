// zarn_tarvo_settings: writes its parameters into the scene's named render
// options and copies one into the render-options flag.
#include "binding/visibility.h"
#include "shaders/exports.h"
#include "host/objects.h"
#include "host/records.h"
#include "host/renderer_functions.h"
#include "shaders/parameter_evaluation.h"
#include "shaders/parameter_records.h"

namespace zarn::shaders {
namespace {

using host::OptionsAccessor;

// Each parameter is read just before the first write that depends on it,
// once, and never in a group that is switched off.
class SettingsWriter {
 public:
  SettingsWriter(const host::ShaderState* state, const SettingsParameters& p,
                 OptionsAccessor& options)
      : state_(state), p_(p), options_(options) {}

  void write_all() {
    final_gathering();
    importons();
    irradiance_particles();
    environment_lighting();
    progressive();
    ambient_occlusion();
    if (read(p_.rast_hair_disposable) != 0) integer("rast hair disposable", 1);
    if (read(p_.ray_differential) != 0) text("ray differential", "on");
  }

 private:
  template <class T>
  T read(const T& parameter) const {
    return read_parameter(state_, parameter);
  }
  void integer(const char* name, Integer value) { options_.set_integer(name, value); }
  void scalar(const char* name, Scalar value) { options_.set_float(name, value); }
  void text(const char* name, const char* value) { options_.set_string(name, value); }

  void final_gathering() {
    // The renderer's option is spelt "finagather".
    integer("finagather reflection prerejection", read(p_.finalgather_reflection_prerejection));
    if (read(p_.finalgather_force) != 0) text("finalgather mode", "force");
  }

  void importons() {
    const bool on = read(p_.importon_enable) != 0;
    integer("importon", on ? 1 : 0);
    if (!on) return;
    integer("importon emitted", read(p_.importon_emitted));
    scalar("importon density", read(p_.importon_density));
    scalar("importon merge", read(p_.importon_merge));
    integer("importon task size", read(p_.importon_task_size));
    integer("importon trace depth", read(p_.importon_trace_depth));
    integer("importon traverse", read(p_.importon_traverse));
  }

  void irradiance_particles() {
    const bool on = read(p_.irradiance_particles_enable) != 0;
    integer("irradiance particles", on ? 1 : 0);
    if (!on) return;
    integer("irradiance particles rays", read(p_.irradiance_particles_rays));
    integer("irradiance particles indirect passes", read(p_.irradiance_particles_indirect_passes));
    integer("irradiance particles interpolate", read(p_.irradiance_particles_interpolate));
    integer("irradiance particles interppoints", read(p_.irradiance_particles_interppoints));
    integer("irradiance particles env", read(p_.irradiance_particles_env));
    scalar("irradiance particles env scale", read(p_.irradiance_particles_env_scale));
    integer("irradiance particles env rays", read(p_.irradiance_particles_env_rays));
    // The file text is the database's until it is unpinned, after the write.
    const Tag file = read(p_.irradiance_particles_file);
    if (const auto* path = static_cast<const char*>(mi_db_access(static_cast<MI_ARG_I>(file))))
      text("irradiance particles file", path);
    mi_db_unpin(static_cast<MI_ARG_I>(file));
    integer("irradiance particles rebuild", read(p_.irradiance_particles_rebuild));
    scalar("irradiance particles scale", read(p_.irradiance_particles_scale));
  }

  void environment_lighting() {
    const Integer mode = read(p_.environment_lighting_mode);
    text("environment lighting mode", mode == 0 ? "off" : mode == 1 ? "light" : "approximate");
    if (mode == 0) return;
    scalar("environment lighting quality", read(p_.environment_lighting_quality));
    static const char* const shadows[] = {"off", "solid", "transparent"};
    const Integer shadow = read(p_.environment_lighting_shadow);
    if (shadow >= 0 && shadow <= 2) text("environment lighting shadow", shadows[shadow]);
    integer("environment lighting approximate split",
            read(p_.environment_lighting_approximate_split));
    integer("environment lighting approximate split vis",
            read(p_.environment_lighting_approximate_split_vis));
  }

  void progressive() {
    const Integer mode = read(p_.progressive_mode);
    if (mode != 0 && mode != 1) integer("iray", 1);
    integer("progressive", mode != 0 ? 1 : 0);
    if (mode == 0) return;
    const Integer size = read(p_.progressive_subsampling_size);
    if (size != 0) {
      integer("progressive subsampling size", size);
      text("progressive subsampling mode",
           read(p_.progressive_subsampling_detail) != 0 ? "detail" : "sparse");
      text("progressive subsampling pattern",
           read(p_.progressive_subsampling_scatter) != 0 ? "scatter" : "linear");
    }
    if (const Integer v = read(p_.progressive_min_samples); v != -1)
      integer("progressive min samples", v);
    if (const Integer v = read(p_.progressive_max_samples); v != -1)
      integer("progressive max samples", v);
    if (const Integer v = read(p_.progressive_max_time); v == 0)
      text("progressive max time", "unlimited");
    else if (v != -1)
      integer("progressive max time", v);
    // A NaN compares unequal to -1.0 and is written.
    if (const Scalar v = read(p_.progressive_error_threshold); v != -1.0f)
      scalar("progressive error threshold", v);
  }

  void ambient_occlusion() {
    const Integer mode = read(p_.ambient_occlusion_mode);
    integer("ambient occlusion", mode != 0 ? 1 : 0);
    if (mode == 0) return;
    integer("ambient occlusion cache", mode == 2 ? 0 : 1);
    integer("ambient occlusion cache density", read(p_.ambient_occlusion_cache_density));
    integer("ambient occlusion cache points", read(p_.ambient_occlusion_cache_points));
    integer("ambient occlusion rays", read(p_.ambient_occlusion_rays));
  }

  const host::ShaderState* state_;
  const SettingsParameters& p_;
  OptionsAccessor& options_;
};

}  // namespace
}  // namespace zarn::shaders

extern "C" ZARN_EXPORT zarn::host::Boolean zarn_tarvo_settings(
    void* /*result*/, zarn::host::ShaderState* state,
    const zarn::shaders::SettingsParameters* parameters) {
  using namespace zarn;
  host::RenderOptions* render_options = state->options;
  if (render_options == nullptr) {
    mi_error("-> zarn_tarvo_settings: options structure not found!");
    return 0;
  }
  host::ShaderInterface* shader_interface = mi_get_shader_interface(3);
  if (shader_interface == nullptr) {
    mi_error("-> zarn_tarvo_settings: shader interface not found!");
    return 0;
  }
  host::OptionsAccessor* options = shader_interface->get_options_accessor(render_options->string_options);
  shader_interface->release();
  if (options == nullptr) {
    mi_error("-> zarn_tarvo_settings: options accessor not found!");
    return 0;
  }
  shaders::SettingsWriter(state, *parameters, *options).write_all();
  options->release();

  mi_api_incremental(1);
  render_options->render_options_flag = static_cast<std::uint8_t>(
      shaders::read_parameter(state, parameters->render_options_flag) & 0xff);
  mi_api_incremental(0);
  return 1;
}
