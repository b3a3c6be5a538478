// Every plain entry hands the renderer function exactly what it was given
// and hands back exactly what the renderer function returned.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/modules.h"
#include "tests/support/samples.h"

namespace zarn::testing {
namespace {

// The classes the stand-in received, as one letter each.
std::string received_shape(const stand_in::Call& call) {
  std::string shape;
  for (const auto& v : call.arguments) shape += v.kind;
  return shape;
}

// Calls `entry` with the sample of each argument class and checks the one
// call the stand-in recorded, argument by argument, and the result.
template <class Result, class... Arguments, std::size_t... Index>
void check_entry(Result (*entry)(Arguments...) noexcept, const char* name,
                 std::index_sequence<Index...>) {
  SCOPED_TRACE(name);
  std::tuple<Arguments...> arguments;
  (set_bits(std::get<Index>(arguments), sample_bits<Arguments>(int(Index) + 1)), ...);
  stand_in::reset();
  if constexpr (std::is_void_v<Result>) {
    std::apply(entry, arguments);
  } else {
    stand_in::set_result(name, result_bits<Result>());
    const Result result = std::apply(entry, arguments);
    EXPECT_EQ(bits_of(result), result_bits<Result>());
  }
  const auto calls = stand_in::calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].function, name);
  ASSERT_EQ(calls[0].arguments.size(), sizeof...(Arguments));
  const char kinds[] = {kind_of<Arguments>()..., '\0'};
  EXPECT_EQ(received_shape(calls[0]), kinds);
  const std::uint64_t expected[] = {sample_bits<Arguments>(int(Index) + 1)..., 0};
  for (std::size_t i = 0; i < sizeof...(Arguments); ++i)
    EXPECT_EQ(calls[0].arguments[i].bits, expected[i]) << "argument " << i + 1;
}

template <class Result, class... Arguments>
void check_entry(Result (*entry)(Arguments...) noexcept, const char* name) {
  check_entry(entry, name, std::index_sequence_for<Arguments...>{});
}

struct PlainRow {
  const char* name;
  void (*check)();
};

const PlainRow plain_rows[] = {
#define MI_PLAIN(slot, name, result, arguments) {#name, [] { check_entry(&name, #name); }},
#include "binding/catalogue.def"
};

TEST(Forwarding, EveryPlainEntryPassesItsArgumentsAndResultBitForBit) {
  // Each entry twice: through its first call, then resolved.
  miSetModuleHandle(stand_in_module());
  for (const PlainRow& row : plain_rows) row.check();
  for (const PlainRow& row : plain_rows) row.check();
}

// Calls `entry` once with samples, for the tests that check shapes.
template <class Result, class... Arguments>
void call_with_samples(Result (*entry)(Arguments...) noexcept) {
  std::tuple<Arguments...> arguments;
  int i = 0;
  std::apply([&](auto&... a) { (set_bits(a, sample_bits<std::decay_t<decltype(a)>>(++i)), ...); },
             arguments);
  std::apply(entry, arguments);
}

// Shapes written out by hand, not taken from the catalogue, so that a wrong
// row shows here instead of being mirrored by the stand-in.
TEST(Forwarding, RowsThatStandOutReachTheRendererWithTheirOwnShapes) {
#define ROW(name, shape) {[] { call_with_samples(&name); }, #name, shape}
  const struct {
    void (*call)();
    const char* name;
    const char* shape;
  } cases[] = {
      ROW(mi_geomo_blend_surfaces, "PIPPPPPPPDIPP"),  // 13: the tenth D, the eleventh I
      ROW(mi_img_custom_format, "IPPPPPPIPIII"),
      ROW(mi_sample, "PPPHP"),
      ROW(mi_api_basis_add, "PIIHHP"),
      ROW(mi_compute_avg_radiance, "PPBP"),
      ROW(mi_api_hair_info, "IBI"),
      ROW(mi_lock, "Q"),
      ROW(mi_trylock, "Q"),
      ROW(mi_unlock, "Q"),
      ROW(mi_init_lock, "P"),
      ROW(mi_delete_lock, "P"),
      ROW(mi_geomo_uv_loft, "PIPIPD"),
      ROW(mi_geomo_u_loft, "PIPIIPIDI"),
      ROW(mi_geomo_extract_and_convert_curve, "IIIDDPP"),
      ROW(mi_geoshader_get_adjacency, "PDP"),
      ROW(mi_geoshader_eval_curve, "PPID"),
      ROW(mi_api_vertex_ref_add, "ID"),
      ROW(mi_api_surface_params, "IPDDPI"),
      ROW(mi_api_object_group_begin, "D"),
      ROW(mi_transmission_dir_anisglossy, "PPFFPPFF"),
      ROW(mi_fresnel, "FFFF"),
      ROW(mi_unoise_2d_grad, "FFPP"),
      ROW(mi_renderpass_resolution, "PPPPPPPII"),
      ROW(mi_mi_parse, "PIPPPPIP"),
      ROW(mi_par_aborted, ""),
      ROW(mi_version, ""),
      ROW(mi_get_shader_interface, "I"),
      ROW(mi_phen_eval, "PP"),
      ROW(mi_trace_continue, "PP"),
      ROW(mi_db_access, "I"),
      ROW(mi_db_unpin, "I"),
      ROW(mi_api_incremental, "I"),
  };
#undef ROW
  miSetModuleHandle(stand_in_module());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    stand_in::reset();
    c.call();
    const auto calls = stand_in::calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].function, c.name);
    EXPECT_EQ(received_shape(calls[0]), c.shape);
  }
}

TEST(Forwarding, NullPointerResultComesBackNull) {
  miSetModuleHandle(stand_in_module());
  stand_in::reset();
  stand_in::set_result("mi_mem_blkallocate", 0);
  EXPECT_EQ(mi_mem_blkallocate(nullptr), nullptr);
}

}  // namespace
}  // namespace zarn::testing
