// The simulated SDK's engine: the journal of every operation received, scripted
// answers, missing links, counters, and the SDK thread on which completions and
// events run. One per process, shared by the SDK objects and the control module.
#pragma once

#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <deque>

namespace parlo_sim {

using json = nlohmann::json;

// Where a completion runs: on the SDK thread later (the healthy default), inside the
// call, or held until script releases it. Two faults of a broken SDK: a completion
// invoked twice on the SDK thread, and one dropped without ever being invoked.
enum class Mode { Async, Sync, Held, Twice, Never };

// The "delayMs" of a script's arguments (0 when absent); throws when it is not 0 to a day.
int delay_ms_of(const json& args);

// Code of a completion whose scripted result does not read as the operation's.
constexpr int32_t kBadScript = 400;

struct Answer {
  std::string op;
  int32_t code = 0;
  std::string message;
  json result;  // the completion's result; null: the operation's own default
  json ret;     // the operation's return value; null: the operation's own default
  Mode mode = Mode::Async;
  int delay_ms = 0;

  // The scripted result, or `fallback`. A result that does not read as T fails the
  // completion with kBadScript, not the process.
  template <class T>
  T result_or(T fallback) {
    if (result.is_null()) return fallback;
    try {
      return result.get<T>();
    } catch (const std::exception& e) {
      misread("result", e);
      code = kBadScript;
      message = std::string("scripted result does not read: ") + e.what();
      return fallback;
    }
  }
  // The scripted return value, or `fallback`, also when it does not read as T (said
  // on standard error and counted as answersMisread).
  template <class T>
  T ret_or(T fallback) {
    if (ret.is_null()) return fallback;
    try {
      return ret.get<T>();
    } catch (const std::exception& e) {
      misread("return value", e);
      return fallback;
    }
  }

 private:
  void misread(const char* what, const std::exception& e);
};

class Engine {
 public:
  static Engine& get();

  // Records the operation and hands back its answer: the next scripted one, or the
  // healthy default. An operation that more than one interface has names its
  // interface: the journal entry carries it, and an answer scripted for
  // "<interface>.<op>" is served before one for the plain name.
  // With nothing scripted and the journal off, an operation has nothing to record and
  // nothing to look up: it answers the healthy default without a lock or an allocation
  // (the arguments of an operation without any stay null until they are journalled).
  Answer call(const std::string& op, json args = json(), const char* interface = nullptr);

  // Runs a completion as the answer says.
  void settle(const Answer& answer, std::function<void()> fire);

  template <class Done, class... R>
  void finish(const Answer& answer, Done done, R... results) {
    settle(answer, [done = std::move(done), code = answer.code, message = answer.message, results...]() {
      done(code, message, results...);
    });
  }

  // Runs `task` on the SDK thread after `delay_ms`.
  void post(std::function<void()> task, int delay_ms = 0);

  bool linked(const std::string& link) const;
  // Whether script has set any link at all; until it has, every link is present.
  bool links_scripted() const { return links_scripted_.load(std::memory_order_acquire); }

  // An identifier for an object handed to the SDK (listeners, views), stable for
  // the object's registration.
  std::string id_of(const void* object, const char* kind);
  // Ends an object's identifier when the SDK lets go of it (its address may be reused).
  void forget(const void* object);

  void count(const std::string& counter, int64_t delta = 1);

  // The control surface: one command with JSON arguments, a JSON answer.
  json control(const std::string& command, const json& args);

  // The script environment that scripted the simulation has ended: its held
  // completions are dropped and its answers, links and journal forgotten, so the
  // next one finds a healthy SDK. What the SDK already does (joined rooms, pending
  // completions) carries on.
  void script_ended();

  void shutdown();

 private:
  Engine();
  void run();
  void reset();
  json counters() const;
  // Re-reads whether calls may skip the engine (the lock is held).
  void update_quiet();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::multimap<std::chrono::steady_clock::time_point, std::function<void()>> tasks_;
  std::vector<std::function<void()>> held_;
  std::vector<json> journal_;
  std::map<std::string, std::deque<std::pair<Answer, int>>> answers_;  // answer, times left (<0: always)
  std::map<std::string, bool> links_;
  std::map<std::string, int64_t> counters_;
  std::map<const void*, std::string> ids_;
  int64_t next_id_ = 1;
  std::atomic<int64_t> outstanding_{0};
  // Journal off and no scripted answer left: calls answer the default lock-free.
  std::atomic<bool> quiet_{false};
  std::atomic<bool> links_scripted_{false};
  bool stopping_ = false;
  bool journaling_ = true;
  std::thread thread_;
};

// Commands that other parts of the simulation add to the control surface
// (events, frames): name -> handler. Registered by static initialisers.
using Command = std::function<json(const json& args)>;
bool add_command(const std::string& name, Command command);

}  // namespace parlo_sim

// The control module's entry: a command and its JSON arguments in, JSON out.
extern "C" __attribute__((visibility("default"))) char* parlo_sim_control(const char* command, const char* args);
extern "C" __attribute__((visibility("default"))) void parlo_sim_free(char* text);
