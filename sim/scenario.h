// Scenario files of the simulated tuner driver: which frontends exist, what
// each one's blind scan finds, and the faults it shows along the way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace blindscan_sim {

enum class driver_file { control, result, frontend };
enum class read_fault { eio, empty };
enum class request_fault { none, eio, short_write, ignored };
enum class lnb_kind { ku_low, ku_high, c_band };

// One thing the driver does at a step of its scan.
struct action {
  enum class kind {
    result,        // a new result: `text` in bs_info, counter moves on
    counter,       // the counter takes `number`
    control_text,  // bs_ctrl shows `text` at this poll instead of its status
    fail_reads,    // the next `number` reads of `file` fail as `fault`
    hide_result,   // bs_info is missing for the next `number` polls
    vanish,        // `file` disappears
    appear,        // `file` comes back
    done,          // busy reads 0 from this step on
  };
  kind what = kind::done;
  std::string text;
  int32_t number = 0;
  driver_file file = driver_file::control;
  read_fault fault = read_fault::eio;
};

struct step {
  std::vector<action> actions;
};

struct frontend_script {
  int32_t index = 0;
  std::vector<step> steps;    // step k happens at poll k (or k pace periods)
  bool forever = false;       // never reports busy 0
  request_fault request = request_fault::none;
};

struct scenario {
  int32_t pace_ms = 0;  // 0: one step per read of bs_ctrl
  lnb_kind lnb = lnb_kind::ku_low;
  std::vector<frontend_script> frontends;
};

// A parse failure: "LINE: what is wrong" (LINE counts from 1).
struct scenario_error {
  int line = 0;
  std::string message;
};

// A decimal int32 of 0 or more, the whole token.
bool parse_count(const std::string& token, int32_t& value);
// "ku-low", "ku-high" or "c-band".
bool parse_lnb(const std::string& word, lnb_kind& lnb);

// Parses a scenario text; on failure fills `error` and returns nullopt.
std::optional<scenario> parse_scenario(const std::string& text,
                                       scenario_error& error);

// The nine-number result text of a transponder given as a report line's
// fields (kHz, symbol/s, DVB-S or DVB-S2, inversion, pilot, FEC, QPSK or
// 8PSK, roll-off), undoing the local oscillator of `lnb`. Empty when a field
// is not understood. An empty or "?" code field gives an unnamed code.
std::optional<std::string> transponder_result(
    const std::vector<std::string>& fields, lnb_kind lnb);

// A scenario that serves, one poll each, the transponders of the "OK" lines
// of a captured report, made with the LNB `lnb`, on frontend `frontend`.
std::optional<scenario> replay_scenario(const std::string& capture,
                                        lnb_kind lnb, int32_t frontend,
                                        int32_t pace_ms,
                                        scenario_error& error);

}  // namespace blindscan_sim
