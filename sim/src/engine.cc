#include "engine.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace parlo_sim {
namespace {

std::map<std::string, Command>& extra_commands() {
  static auto* commands = new std::map<std::string, Command>();
  return *commands;
}

Mode mode_from(const std::string& text) {
  if (text == "async") return Mode::Async;
  if (text == "sync") return Mode::Sync;
  if (text == "held") return Mode::Held;
  if (text == "twice") return Mode::Twice;
  if (text == "never") return Mode::Never;
  throw std::invalid_argument("mode must be 'async', 'sync', 'held', 'twice' or 'never', not '" + text + "'");
}

}  // namespace

bool add_command(const std::string& name, Command command) {
  extra_commands()[name] = std::move(command);
  return true;
}

Engine& Engine::get() {
  // Never destroyed: SDK threads may still be finishing while the process exits.
  static Engine* engine = new Engine();
  return *engine;
}

Engine::Engine() : thread_([this] { run(); }) {}

void Engine::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    if (tasks_.empty()) {
      wake_.wait(lock);
      continue;
    }
    auto due = tasks_.begin()->first;
    if (std::chrono::steady_clock::now() < due) {
      wake_.wait_until(lock, due);
      continue;
    }
    auto task = std::move(tasks_.begin()->second);
    tasks_.erase(tasks_.begin());
    lock.unlock();
    task();
    task = nullptr;
    lock.lock();
  }
}

void Engine::shutdown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    stopping_ = true;
    tasks_.clear();
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Engine::post(std::function<void()> task, int delay_ms) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    tasks_.emplace(std::chrono::steady_clock::now() + std::chrono::milliseconds(delay_ms), std::move(task));
  }
  wake_.notify_all();
}

int delay_ms_of(const json& args) {
  const double delay_ms = args.value("delayMs", 0.0);
  if (!(delay_ms >= 0 && delay_ms <= 86400000)) throw std::invalid_argument("delayMs must be 0 to a day");
  return static_cast<int>(delay_ms);
}

void Answer::misread(const char* what, const std::exception& e) {
  std::fprintf(stderr, "parlo sim: the scripted %s of %s does not read (%s); the default is used\n", what, op.c_str(),
               e.what());
  Engine::get().count("answersMisread");
}

void Engine::update_quiet() {
  bool scripted = false;
  for (const auto& [op, queued] : answers_) scripted = scripted || !queued.empty();
  quiet_.store(!journaling_ && !scripted, std::memory_order_release);
  links_scripted_.store(!links_.empty(), std::memory_order_release);
}

Answer Engine::call(const std::string& op, json args, const char* interface) {
  if (quiet_.load(std::memory_order_acquire)) return Answer{};
  std::lock_guard<std::mutex> lock(mutex_);
  if (journaling_) {
    if (args.is_null()) args = json::array();
    json entry{{"op", op}, {"args", std::move(args)}};
    if (interface != nullptr) entry["interface"] = interface;
    journal_.push_back(std::move(entry));
  }
  auto found = answers_.end();
  if (interface != nullptr) found = answers_.find(std::string(interface) + "." + op);
  if (found == answers_.end() || found->second.empty()) found = answers_.find(op);
  if (found == answers_.end() || found->second.empty()) return Answer{};
  auto& [answer, times] = found->second.front();
  Answer result = answer;
  result.op = op;
  if (times > 0 && --times == 0) {
    found->second.pop_front();
    update_quiet();
  }
  return result;
}

void Engine::settle(const Answer& answer, std::function<void()> fire) {
  switch (answer.mode) {
    case Mode::Sync:
      fire();
      return;
    case Mode::Held: {
      std::lock_guard<std::mutex> lock(mutex_);
      held_.push_back(std::move(fire));
      return;
    }
    case Mode::Never:
      // Dropped here, on the SDK's side, as a broken SDK might.
      count("completionsDropped");
      return;
    case Mode::Async:
    case Mode::Twice: {
      ++outstanding_;
      const bool twice = answer.mode == Mode::Twice;
      post([this, fire = std::move(fire), twice] {
        fire();
        if (twice) fire();
        --outstanding_;
      }, answer.delay_ms);
      return;
    }
  }
}

void Engine::script_ended() {
  std::vector<std::function<void()>> held;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    held.swap(held_);
    reset();
    update_quiet();
  }
  // Destroyed outside the lock: a completion's owner may do work of its own then.
  held.clear();
}

bool Engine::linked(const std::string& link) const {
  if (!links_scripted()) return true;
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = links_.find(link);
  return found == links_.end() || found->second;
}

std::string Engine::id_of(const void* object, const char* kind) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = ids_.find(object);
  if (found != ids_.end()) return found->second;
  std::string id = std::string(kind) + "#" + std::to_string(next_id_++);
  ids_[object] = id;
  return id;
}

void Engine::forget(const void* object) {
  std::lock_guard<std::mutex> lock(mutex_);
  ids_.erase(object);
}

void Engine::count(const std::string& counter, int64_t delta) {
  std::lock_guard<std::mutex> lock(mutex_);
  counters_[counter] += delta;
}

json Engine::counters() const {
  json out = json::object();
  for (const auto& [name, value] : counters_) out[name] = value;
  out["outstanding"] = outstanding_.load();
  out["held"] = held_.size();
  return out;
}

void Engine::reset() {
  journal_.clear();
  journaling_ = true;
  answers_.clear();
  links_.clear();
  // Counters of things that outlive a reset (destroyed kits, live listeners) stay.
}

json Engine::control(const std::string& command, const json& args) {
  if (command == "answer") {
    Answer answer;
    answer.code = args.value("code", 0);
    answer.message = args.value("message", "");
    answer.result = args.value("result", json());
    answer.ret = args.value("ret", json());
    answer.mode = mode_from(args.value("mode", "async"));
    answer.delay_ms = delay_ms_of(args);
    const int64_t times = args.value("times", int64_t{1});
    if (times == 0 || times < -1 || times > INT32_MAX) throw std::invalid_argument("times must be at least 1, or -1");
    std::lock_guard<std::mutex> lock(mutex_);
    answers_[args.at("op").get<std::string>()].emplace_back(answer, static_cast<int>(times));
    update_quiet();
    return true;
  }
  if (command == "releaseHeld") {
    std::vector<std::function<void()>> held;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      held.swap(held_);
      outstanding_ += static_cast<int64_t>(held.size());
    }
    for (auto& fire : held) {
      post([this, fire = std::move(fire)] {
        fire();
        --outstanding_;
      });
    }
    return held.size();
  }
  if (command == "shutdown") {
    shutdown();
    return true;
  }
  if (command == "scriptEnded") {
    script_ended();
    return true;
  }
  auto extra = extra_commands().find(command);
  if (extra != extra_commands().end()) return extra->second(args);

  std::lock_guard<std::mutex> lock(mutex_);
  if (command == "reset") {
    reset();
    update_quiet();
    return true;
  }
  if (command == "journal") return journal_;
  if (command == "setJournaling") {
    journaling_ = args.at("enabled").get<bool>();
    update_quiet();
    return true;
  }
  if (command == "clearJournal") {
    journal_.clear();
    return true;
  }
  if (command == "setLink") {
    links_[args.at("name").get<std::string>()] = args.at("present").get<bool>();
    update_quiet();
    return true;
  }
  if (command == "links") return links_;
  if (command == "counters") return counters();
  return json{{"error", "unknown command " + command}};
}

}  // namespace parlo_sim

char* parlo_sim_control(const char* command, const char* args) {
  using parlo_sim::json;
  json answer;
  json parsed = json::parse(args ? args : "null", nullptr, false);
  if (parsed.is_discarded()) {
    answer = json{{"error", "arguments are not JSON"}};
  } else {
    try {
      answer = parlo_sim::Engine::get().control(command, parsed);
    } catch (const std::exception& e) {
      answer = json{{"error", e.what()}};
    }
  }
  std::string text = answer.dump();
  char* out = static_cast<char*>(std::malloc(text.size() + 1));
  if (out) std::memcpy(out, text.c_str(), text.size() + 1);
  return out;
}

void parlo_sim_free(char* text) { std::free(text); }
