// Parsing of scenario files and of captured reports.
#include "sim/scenario.h"

#include "report/report_line.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace blindscan_sim {

namespace {

bool to_int32(const std::string& token, int32_t& value) {
  if (token.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long number = std::strtoll(token.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || number < INT32_MIN || number > INT32_MAX) {
    return false;
  }
  value = static_cast<int32_t>(number);
  return true;
}


// A code by its API name (as the tool prints it), its number, or "?"/"" for
// one without a name.
bool to_code(const std::string& token, const char* (*name_of)(int32_t),
             int32_t& code) {
  if (token.empty() || token == "?") {
    code = -1;
    return true;
  }
  for (int32_t candidate = 0; *name_of(candidate) != '\0'; ++candidate) {
    if (token == name_of(candidate)) {
      code = candidate;
      return true;
    }
  }
  return to_int32(token, code);
}

// Splits a line into words; "..." is one word with \n, \t, \0, \\, \" and
// \xHH escapes. A '#' outside quotes starts a comment.
bool split_words(const std::string& line, std::vector<std::string>& words,
                 std::string& problem) {
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      std::string word;
      ++i;
      while (i < line.size() && line[i] != '"') {
        if (line[i] != '\\') {
          word += line[i++];
          continue;
        }
        if (++i >= line.size()) break;
        const char e = line[i++];
        if (e == 'n') word += '\n';
        else if (e == 't') word += '\t';
        else if (e == '0') word += '\0';
        else if (e == '\\' || e == '"') word += e;
        else if (e == 'x' && i + 2 <= line.size()) {
          char* end = nullptr;
          const std::string hex = line.substr(i, 2);
          const long byte = std::strtol(hex.c_str(), &end, 16);
          if (*end != '\0') {
            problem = "bad \\x escape";
            return false;
          }
          word += static_cast<char>(byte);
          i += 2;
        } else {
          problem = std::string("unknown escape \\") + e;
          return false;
        }
      }
      if (i >= line.size()) {
        problem = "unterminated quote";
        return false;
      }
      ++i;
      words.push_back(word);
    } else {
      const size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' &&
             line[i] != '\r' && line[i] != '#') {
        ++i;
      }
      words.push_back(line.substr(start, i - start));
    }
  }
  return true;
}

bool to_file(const std::string& word, driver_file& file) {
  if (word == "control") file = driver_file::control;
  else if (word == "result") file = driver_file::result;
  else if (word == "frontend") file = driver_file::frontend;
  else return false;
  return true;
}


action make(action::kind what, std::string text = {}) {
  action a;
  a.what = what;
  a.text = std::move(text);
  return a;
}

int32_t wrap(uint32_t value) { return static_cast<int32_t>(value); }

class parser {
 public:
  std::optional<scenario> parse(const std::string& text, scenario_error& error) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
      ++number;
      std::vector<std::string> words;
      std::string problem;
      if (!split_words(line, words, problem) ||
          (!words.empty() && !apply(words, problem))) {
        error = {number, problem};
        return std::nullopt;
      }
    }
    if (result_.frontends.empty()) result_.frontends.push_back({});
    return result_;
  }

 private:
  frontend_script& current() {
    if (result_.frontends.empty()) result_.frontends.push_back({});
    return result_.frontends.back();
  }
  void add(action a) {
    frontend_script& script = current();
    if (script.steps.empty()) script.steps.push_back({});
    script.steps.back().actions.push_back(std::move(a));
  }

  bool apply(const std::vector<std::string>& w, std::string& problem) {
    const std::string& key = w[0];
    const size_t args = w.size() - 1;
    auto want = [&](size_t low, size_t high) {
      if (args >= low && args <= high) return true;
      problem = "'" + key + "' takes " +
                (low == high ? std::to_string(low)
                             : std::to_string(low) + " to " +
                                   std::to_string(high)) +
                " argument" + (high == 1 ? "" : "s");
      return false;
    };
    auto bad = [&](const std::string& what) {
      problem = "'" + key + "': " + what;
      return false;
    };
    if (key == "pace") {
      if (!want(1, 1)) return false;
      if (w[1] == "polls") {
        result_.pace_ms = 0;
        return true;
      }
      if (!parse_count(w[1], result_.pace_ms) || result_.pace_ms == 0) {
        return bad("expected 'polls' or a number of milliseconds above 0");
      }
      return true;
    }
    if (key == "lnb") {
      if (!want(1, 1)) return false;
      return parse_lnb(w[1], result_.lnb) ||
             bad("expected ku-low, ku-high or c-band");
    }
    if (key == "frontend") {
      if (!want(1, 1)) return false;
      frontend_script script;
      if (!parse_count(w[1], script.index)) return bad("expected an index >= 0");
      for (const frontend_script& other : result_.frontends) {
        if (other.index == script.index) return bad("frontend declared twice");
      }
      // Lines before the first 'frontend' describe frontend 0; a first
      // 'frontend' line names it instead.
      if (result_.frontends.size() == 1 && !named_ &&
          result_.frontends[0].steps.empty()) {
        result_.frontends[0].index = script.index;
      } else {
        result_.frontends.push_back(script);
      }
      named_ = true;
      return true;
    }
    if (key == "request") {
      if (!want(1, 1)) return false;
      request_fault& r = current().request;
      if (w[1] == "ok") r = request_fault::none;
      else if (w[1] == "eio") r = request_fault::eio;
      else if (w[1] == "short") r = request_fault::short_write;
      else if (w[1] == "ignored") r = request_fault::ignored;
      else return bad("expected ok, eio, short or ignored");
      return true;
    }
    if (key == "forever") {
      if (!want(0, 0)) return false;
      current().forever = true;
      return true;
    }
    if (key == "wait") {
      if (!want(0, 1)) return false;
      int32_t polls = 1;
      if (args == 1 && (!parse_count(w[1], polls) || polls == 0)) {
        return bad("expected a number of steps above 0");
      }
      frontend_script& script = current();
      if (script.steps.empty()) script.steps.push_back({});
      script.steps.resize(script.steps.size() + static_cast<size_t>(polls));
      return true;
    }
    if (key == "result") {
      if (!want(9, 9)) return false;
      std::string text;
      for (size_t i = 1; i <= 9; ++i) {
        int32_t value = 0;
        if (!to_int32(w[i], value)) return bad("'" + w[i] + "' is no int32");
        if (i > 1) text += ' ';
        text += std::to_string(value);
      }
      add(make(action::kind::result, text + "\n"));
      return true;
    }
    if (key == "transponder") {
      if (!want(8, 8)) return false;
      const std::vector<std::string> fields(w.begin() + 1, w.end());
      const auto text = transponder_result(fields, result_.lnb);
      if (!text) return bad("fields not understood");
      add(make(action::kind::result, *text));
      return true;
    }
    if (key == "result-text" || key == "control") {
      if (!want(1, 1)) return false;
      add(make(key == "control" ? action::kind::control_text
                                : action::kind::result,
               w[1]));
      return true;
    }
    if (key == "counter") {
      if (!want(1, 1)) return false;
      action a = make(action::kind::counter);
      return to_int32(w[1], a.number) ? (add(a), true) : bad("expected int32");
    }
    if (key == "fail") {
      if (!want(2, 3)) return false;
      action a = make(action::kind::fail_reads);
      a.number = 1;
      if (!to_file(w[1], a.file) || a.file == driver_file::frontend) {
        return bad("expected control or result");
      }
      if (w[2] == "eio") a.fault = read_fault::eio;
      else if (w[2] == "empty") a.fault = read_fault::empty;
      else return bad("expected eio or empty");
      if (args == 3 && !parse_count(w[3], a.number)) return bad("expected a count");
      add(a);
      return true;
    }
    if (key == "hide-result") {
      if (!want(1, 1)) return false;
      action a = make(action::kind::hide_result);
      return parse_count(w[1], a.number) ? (add(a), true) : bad("expected a count");
    }
    if (key == "vanish" || key == "appear") {
      if (!want(1, 1)) return false;
      action a = make(key == "vanish" ? action::kind::vanish : action::kind::appear);
      if (!to_file(w[1], a.file)) return bad("expected control, result or frontend");
      add(a);
      return true;
    }
    if (key == "done") {
      if (!want(0, 0)) return false;
      add(make(action::kind::done));
      return true;
    }
    problem = "unknown keyword '" + key + "'";
    return false;
  }

  scenario result_;
  bool named_ = false;
};

}  // namespace

bool parse_count(const std::string& token, int32_t& value) {
  return to_int32(token, value) && value >= 0;
}

bool parse_lnb(const std::string& word, lnb_kind& lnb) {
  if (word == "ku-low") lnb = lnb_kind::ku_low;
  else if (word == "ku-high") lnb = lnb_kind::ku_high;
  else if (word == "c-band") lnb = lnb_kind::c_band;
  else return false;
  return true;
}

std::optional<scenario> parse_scenario(const std::string& text,
                                       scenario_error& error) {
  return parser().parse(text, error);
}

std::optional<std::string> transponder_result(
    const std::vector<std::string>& f, lnb_kind lnb) {
  if (f.size() != 8) return std::nullopt;
  int32_t frequency = 0, symbol_rate = 0, inversion = 0, pilot = 0, fec = 0,
          rolloff = 0;
  if (!to_int32(f[0], frequency) || !to_int32(f[1], symbol_rate) ||
      (f[2] != "DVB-S" && f[2] != "DVB-S2") ||
      !to_code(f[3], blindscan::inversion_name, inversion) ||
      !to_code(f[4], blindscan::pilot_name, pilot) ||
      !to_code(f[5], blindscan::fec_name, fec) ||
      (f[6] != "QPSK" && f[6] != "8PSK") ||
      !to_code(f[7], blindscan::rolloff_name, rolloff)) {
    return std::nullopt;
  }
  const auto khz = static_cast<uint32_t>(frequency);
  const int32_t if_frequency =
      lnb == lnb_kind::c_band    ? wrap(5150000u - khz)
      : lnb == lnb_kind::ku_high ? wrap(khz - 10600000u)
                                 : wrap(khz - 9750000u);
  std::ostringstream text;
  text << 0 << ' ' << if_frequency << ' ' << symbol_rate << ' '
       << (f[2] == "DVB-S2" ? 1 : 0) << ' ' << inversion << ' ' << pilot << ' '
       << fec << ' ' << (f[6] == "8PSK" ? 1 : 0) << ' ' << rolloff << '\n';
  return text.str();
}

std::optional<scenario> replay_scenario(const std::string& capture,
                                        lnb_kind lnb, int32_t frontend,
                                        int32_t pace_ms,
                                        scenario_error& error) {
  scenario replay;
  replay.lnb = lnb;
  replay.pace_ms = pace_ms;
  frontend_script script;
  script.index = frontend;
  std::istringstream lines(capture);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (line.rfind("OK ", 0) != 0) continue;
    // Fields are separated by single blanks; an unnamed code is empty.
    std::vector<std::string> fields;
    std::string field;
    std::istringstream words(line.substr(3));
    while (std::getline(words, field, ' ')) fields.push_back(field);
    if (fields.size() < 9) {
      error = {number, "a report line has fewer than ten fields"};
      return std::nullopt;
    }
    const std::vector<std::string> transponder(fields.begin() + 1,
                                               fields.begin() + 9);
    const auto text = transponder_result(transponder, lnb);
    if (!text) {
      error = {number, "report line not understood"};
      return std::nullopt;
    }
    script.steps.push_back({{make(action::kind::result, *text)}});
  }
  if (script.steps.empty()) {
    error = {number, "no \"OK\" report line found"};
    return std::nullopt;
  }
  replay.frontends.push_back(script);
  return replay;
}

}  // namespace blindscan_sim
