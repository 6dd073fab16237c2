// The simulated driver's behaviour.
#include "sim/driver_model.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace blindscan_sim {

namespace {

constexpr int kControl = 0, kResult = 1, kFrontend = 2;

int index_of(driver_file file) {
  return file == driver_file::control  ? kControl
         : file == driver_file::result ? kResult
                                       : kFrontend;
}

// Up to five "%d" numbers from the start of a request, stopping at a NUL.
std::vector<long> request_numbers(const std::string& text) {
  std::vector<long> numbers;
  const char* p = text.c_str();
  while (numbers.size() < 5) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(p, &end, 10);
    if (end == p || errno != 0) break;
    numbers.push_back(value);
    p = end;
  }
  return numbers;
}

}  // namespace

void access_log::write(const std::string& event) {
  if (file_ == nullptr) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(file_, "%lld.%06ld %s\n", static_cast<long long>(now.tv_sec),
               now.tv_nsec / 1000, event.c_str());
  std::fflush(file_);
}

std::string quoted(const std::string& bytes) {
  std::string text = "\"";
  for (const char c : bytes) {
    if (c == '\n') text += "\\n";
    else if (c == '\t') text += "\\t";
    else if (c == '\0') text += "\\0";
    else if (c == '\\' || c == '"') {
      text += '\\';
      text += c;
    }
    else if (c < ' ' || c > '~') {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
      text += hex;
    } else {
      text += c;
    }
  }
  return text + "\"";
}

std::string open_flags_text(int flags) {
  std::string text = (flags & O_ACCMODE) == O_RDONLY   ? "O_RDONLY"
                     : (flags & O_ACCMODE) == O_WRONLY ? "O_WRONLY"
                                                       : "O_RDWR";
  if (flags & O_CREAT) text += "|O_CREAT";
  if (flags & O_EXCL) text += "|O_EXCL";
  if (flags & O_TRUNC) text += "|O_TRUNC";
  if (flags & O_APPEND) text += "|O_APPEND";
  return text;
}

driver_model::driver_model(scenario s, access_log& log,
                           std::function<int64_t()> now_ms)
    : scenario_(std::move(s)), log_(log), now_ms_(std::move(now_ms)) {
  for (const frontend_script& script : scenario_.frontends) {
    frontend_state fe;
    fe.script = &script;
    fe.name = "frontend/" + std::to_string(script.index);
    frontends_.push_back(fe);
  }
}

driver_model::entry driver_model::find(const std::string& path) const {
  if (path == "/" || path == "/frontend") return {node::directory};
  for (size_t slot = 0; slot < frontends_.size(); ++slot) {
    const frontend_state& fe = frontends_[slot];
    const std::string dir = "/" + fe.name;
    if (path.rfind(dir, 0) != 0 || !fe.visible[kFrontend]) continue;
    const std::string rest = path.substr(dir.size());
    const int s = static_cast<int>(slot);
    if (rest.empty()) return {node::directory, s};
    if (rest == "/bs_ctrl" && fe.visible[kControl]) return {node::control, s};
    if (rest == "/bs_info" && fe.visible[kResult] && fe.hidden_polls == 0) {
      return {node::result, s};
    }
  }
  return {};
}

std::vector<std::string> driver_model::list(const std::string& path) const {
  std::vector<std::string> names;
  if (path == "/") {
    names.push_back("frontend");
  } else if (path == "/frontend") {
    for (const frontend_state& fe : frontends_) {
      if (fe.visible[kFrontend]) names.push_back(fe.name.substr(9));
    }
  } else {
    const entry e = find(path);
    if (e.kind == node::directory && e.slot >= 0) {
      const std::string dir = path + "/";
      if (find(dir + "bs_ctrl").kind != node::none) names.push_back("bs_ctrl");
      if (find(dir + "bs_info").kind != node::none) names.push_back("bs_info");
    }
  }
  return names;
}

std::string driver_model::file_name(const open_file& file) const {
  return frontends_[static_cast<size_t>(file.slot)].name +
         (file.kind == node::control ? "/bs_ctrl" : "/bs_info");
}

int driver_model::open(const std::string& path, int flags, uint64_t& handle) {
  const entry e = find(path);
  if (e.kind != node::control && e.kind != node::result) {
    log_.write("open " + path.substr(1) + " " + open_flags_text(flags) +
               " -> ENOENT");
    return -ENOENT;
  }
  open_file file{e.slot, e.kind, flags, {}};
  if (e.kind == node::result && (flags & O_ACCMODE) != O_RDONLY) {
    log_.write("open " + file_name(file) + " " + open_flags_text(flags) +
               " -> EACCES");
    return -EACCES;
  }
  handle = next_handle_++;
  log_.write("open " + file_name(file) + " " + open_flags_text(flags));
  open_files_[handle] = file;
  return 0;
}

void driver_model::release(uint64_t handle) {
  const auto it = open_files_.find(handle);
  if (it == open_files_.end()) return;
  log_.write("close " + file_name(it->second));
  open_files_.erase(it);
}

void driver_model::start(frontend_state& fe) {
  fe.started = true;
  fe.start_ms = now_ms_();
  fe.next_step = 0;
  fe.busy = 1;
  fe.counter = 0;
  fe.polls = 0;
  fe.result_text.clear();
  log_.write("scan started on " + fe.name);
}

void driver_model::apply(frontend_state& fe, const step& s) {
  for (const action& a : s.actions) {
    switch (a.what) {
      case action::kind::result:
        fe.result_text = a.text;
        fe.counter = static_cast<int32_t>(static_cast<uint32_t>(fe.counter) + 1u);
        log_.write("found on " + fe.name + " counter " +
                   std::to_string(fe.counter) + " " + quoted(a.text));
        break;
      case action::kind::counter:
        fe.counter = a.number;
        log_.write("counter on " + fe.name + " set to " +
                   std::to_string(a.number));
        break;
      case action::kind::control_text:
        fe.has_override = true;
        fe.control_override = a.text;
        break;
      case action::kind::fail_reads: {
        const int f = index_of(a.file);
        fe.failing[f] = a.number;
        fe.fault[f] = a.fault;
        break;
      }
      case action::kind::hide_result:
        fe.hidden_polls = a.number;
        log_.write("fault " + fe.name + "/bs_info hidden for " +
                   std::to_string(a.number) + " polls");
        break;
      case action::kind::vanish:
      case action::kind::appear: {
        const bool appear = a.what == action::kind::appear;
        fe.visible[index_of(a.file)] = appear;
        const char* names[] = {"/bs_ctrl", "/bs_info", ""};
        log_.write(std::string(appear ? "appear " : "fault vanish ") +
                   fe.name + names[index_of(a.file)]);
        break;
      }
      case action::kind::done:
        fe.busy = 0;
        break;
    }
  }
}

void driver_model::poll(frontend_state& fe) {
  ++fe.polls;
  if (fe.hidden_polls > 0) --fe.hidden_polls;
  if (!fe.started) return;
  const std::vector<step>& steps = fe.script->steps;
  size_t due = fe.next_step + 1;
  if (scenario_.pace_ms > 0) {
    due = static_cast<size_t>((now_ms_() - fe.start_ms) / scenario_.pace_ms) + 1;
  }
  while (fe.next_step < due && fe.next_step < steps.size()) {
    apply(fe, steps[fe.next_step++]);
  }
  if (due > steps.size() && !fe.script->forever) fe.busy = 0;
}

std::string driver_model::read_now(frontend_state& fe, node kind, int& error) {
  error = 0;
  if (kind == node::control) poll(fe);
  const int f = kind == node::control ? kControl : kResult;
  std::string text;
  if (kind == node::result) {
    text = fe.result_text;
  } else if (fe.has_override) {
    text = fe.control_override;
    fe.has_override = false;
  } else {
    const int progress =
        fe.script->steps.empty() || !fe.started
            ? (fe.busy != 0 ? 0 : 100)
            : static_cast<int>(100 * fe.next_step / fe.script->steps.size());
    text = std::to_string(fe.busy) + " " + std::to_string(fe.counter) + " " +
           std::to_string(fe.busy != 0 ? progress : 100) + "\n";
  }
  if (fe.failing[f] > 0) {
    --fe.failing[f];
    if (fe.fault[f] == read_fault::eio) {
      error = -EIO;
      return {};
    }
    return {};
  }
  return text;
}

int driver_model::read(uint64_t handle, off_t offset, size_t size,
                       std::string& out) {
  const auto it = open_files_.find(handle);
  if (it == open_files_.end()) return -EBADF;
  open_file& file = it->second;
  const std::string name = file_name(file);
  if (offset == 0) {
    frontend_state& fe = frontends_[static_cast<size_t>(file.slot)];
    const int32_t counter = fe.counter;
    int error = 0;
    file.snapshot = read_now(fe, file.kind, error);
    if (error != 0) {
      log_.write("read " + name + " size " + std::to_string(size) +
                 " -> fault EIO");
      return error;
    }
    if (file.snapshot.empty()) {
      log_.write("read " + name + " size " + std::to_string(size) +
                 " -> empty");
    }
    if (file.kind == node::result && !file.snapshot.empty()) {
      log_.write("served " + fe.name + " counter " + std::to_string(counter));
    }
  }
  const auto from = static_cast<size_t>(offset);
  out = from < file.snapshot.size() ? file.snapshot.substr(from, size) : "";
  if (!out.empty() || offset != 0) {
    log_.write("read " + name + " offset " + std::to_string(offset) +
               " size " + std::to_string(size) + " -> " + quoted(out));
  }
  return 0;
}

int driver_model::write(uint64_t handle, const char* bytes, size_t size,
                        off_t offset, size_t& accepted) {
  const auto it = open_files_.find(handle);
  if (it == open_files_.end()) return -EBADF;
  const open_file& file = it->second;
  frontend_state& fe = frontends_[static_cast<size_t>(file.slot)];
  const std::string data(bytes, size);
  const size_t text_end = data.find_last_not_of('\0') + 1;
  const size_t zeros = data.size() - text_end;
  log_.write("write " + file_name(file) + " offset " + std::to_string(offset) +
             " size " + std::to_string(size) + " " +
             quoted(data.substr(0, text_end)) +
             (zeros > 0 ? " + " + std::to_string(zeros) + " NUL" : ""));
  if (file.kind != node::control) return -EACCES;
  const request_fault fault = fe.script->request;
  if (fault == request_fault::eio) {
    log_.write("fault request write -> EIO");
    return -EIO;
  }
  accepted = size;
  std::string request = data.substr(0, data.find('\0'));
  if (fault == request_fault::short_write) {
    accepted = size < 16 ? size : 16;
    if (request.size() > accepted) request.resize(accepted);
    log_.write("fault request write short: " + std::to_string(accepted) +
               " of " + std::to_string(size) + " bytes");
  }
  const std::vector<long> numbers = request_numbers(request);
  if (numbers.size() < 5) {
    log_.write("request malformed " + quoted(request));
    return 0;
  }
  std::string shown = "request bounds-mhz";
  for (size_t i = 0; i < 4; ++i) {
    shown += i == 0 ? ' ' : ',';
    shown += std::to_string(static_cast<uint32_t>(numbers[i]) / 1000000u);
  }
  log_.write(shown + " frontend " + std::to_string(numbers[4]));
  if (fault == request_fault::ignored) {
    log_.write("fault request ignored");
    return 0;
  }
  start(fe);
  return 0;
}

}  // namespace blindscan_sim
