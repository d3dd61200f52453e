/* The floors the benchmarks measure brimo against: the same work written straight
 * against the C Node-API, with no C++ wrapper, no type erasure and no registry.
 *
 *   noop()                          a native function that does nothing;
 *   threadSafeCalls(n, fn)          one thread-safe function, fed n calls by a native
 *                                   thread, fn() per call;
 *   memberEvents(n, member, fn)     the same, each call carrying a copy of a member
 *                                   record made on the native thread and converted on
 *                                   the script thread into the object brimo makes of
 *                                   it: fn("onMemberJoinRoom", [record]); queued in
 *                                   blocking mode, as room events are;
 *   roundTrip(fn)                   one thread-safe function made, called once from a
 *                                   native thread and released: one asynchronous call;
 *   threadCpuNs()                   the calling thread's CPU time in ns, so a benchmark
 *                                   can tell the script thread's work from its waiting.
 *
 * Built by the project for bench/ only; it is not part of the module. */
#define NAPI_VERSION 4
#include <node_api.h>

#include <pthread.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#define MAX_PROPERTIES 16

static napi_value noop(napi_env env, napi_callback_info info) {
  (void)env;
  (void)info;
  return NULL;
}

/* --- one function, many calls --- */

struct feed {
  napi_threadsafe_function tsfn;
  int32_t count;
};

static void call_bare(napi_env env, napi_value fn, void* context, void* data) {
  (void)context;
  (void)data;
  if (env == NULL) return;
  napi_value undefined;
  napi_get_undefined(env, &undefined);
  napi_call_function(env, undefined, fn, 0, NULL, NULL);
}

static void* feed_bare(void* arg) {
  struct feed* feed = arg;
  for (int32_t i = 0; i < feed->count; ++i) napi_call_threadsafe_function(feed->tsfn, NULL, napi_tsfn_nonblocking);
  napi_release_threadsafe_function(feed->tsfn, napi_tsfn_release);
  free(feed);
  return NULL;
}

static int start_feed(napi_env env, napi_value fn, napi_threadsafe_function_call_js call, int32_t count, void* context,
                      void* (*run)(void*)) {
  napi_value name;
  napi_create_string_utf8(env, "baseline", NAPI_AUTO_LENGTH, &name);
  struct feed* feed = malloc(sizeof *feed);
  if (feed == NULL) return 0;
  feed->count = count;
  if (napi_create_threadsafe_function(env, fn, NULL, name, 0, 1, NULL, NULL, context, call, &feed->tsfn) != napi_ok) {
    free(feed);
    return 0;
  }
  pthread_t thread;
  if (pthread_create(&thread, NULL, run, feed) != 0) {
    napi_release_threadsafe_function(feed->tsfn, napi_tsfn_abort);
    free(feed);
    return 0;
  }
  pthread_detach(thread);
  return 1;
}

static napi_value thread_safe_calls(napi_env env, napi_callback_info info) {
  size_t argc = 2;
  napi_value argv[2];
  napi_get_cb_info(env, info, &argc, argv, NULL, NULL);
  int32_t count = 0;
  napi_get_value_int32(env, argv[0], &count);
  start_feed(env, argv[1], call_bare, count, NULL, feed_bare);
  return NULL;
}

/* --- member records --- */

struct member {
  char* uuid;
  char* name;
  char* avatar;
  char* role_name;
  int32_t role_limit, video_width, video_height, video_fps;
  char* audio_profile;
  char* audio_scenario;
  char* screen_video_profile;
  int32_t prefer_motion, prefer_details;
  int audio_connected, audio_on, video_on, in_rtc, in_chatroom, sharing_screen, sharing_whiteboard, app_inviting,
      sip_inviting, sharing_system_audio;
  int32_t invite_state, invite_type, client_type;
  int property_count;
  char* property_keys[MAX_PROPERTIES];
  char* property_values[MAX_PROPERTIES];
};

static char* copy_text(const char* text) {
  size_t length = strlen(text) + 1;
  char* out = malloc(length);
  if (out != NULL) memcpy(out, text, length);
  return out;
}

/* The copy an SDK thread makes of the record it was handed. */
static struct member* copy_member(const struct member* from) {
  struct member* to = malloc(sizeof *to);
  if (to == NULL) return NULL;
  *to = *from;
  to->uuid = copy_text(from->uuid);
  to->name = copy_text(from->name);
  to->avatar = copy_text(from->avatar);
  to->role_name = copy_text(from->role_name);
  to->audio_profile = copy_text(from->audio_profile);
  to->audio_scenario = copy_text(from->audio_scenario);
  to->screen_video_profile = copy_text(from->screen_video_profile);
  for (int i = 0; i < from->property_count; ++i) {
    to->property_keys[i] = copy_text(from->property_keys[i]);
    to->property_values[i] = copy_text(from->property_values[i]);
  }
  return to;
}

static void free_member(struct member* m) {
  if (m == NULL) return;
  free(m->uuid);
  free(m->name);
  free(m->avatar);
  free(m->role_name);
  free(m->audio_profile);
  free(m->audio_scenario);
  free(m->screen_video_profile);
  for (int i = 0; i < m->property_count; ++i) {
    free(m->property_keys[i]);
    free(m->property_values[i]);
  }
  free(m);
}

static void set_string(napi_env env, napi_value object, const char* key, const char* text) {
  napi_value value;
  napi_create_string_utf8(env, text, NAPI_AUTO_LENGTH, &value);
  napi_set_named_property(env, object, key, value);
}

static void set_int(napi_env env, napi_value object, const char* key, int32_t number) {
  napi_value value;
  napi_create_int32(env, number, &value);
  napi_set_named_property(env, object, key, value);
}

static void set_bool(napi_env env, napi_value object, const char* key, int flag) {
  napi_value value;
  napi_get_boolean(env, flag != 0, &value);
  napi_set_named_property(env, object, key, value);
}

/* The keys and order of brimo's member record. */
static napi_value member_to_js(napi_env env, const struct member* m) {
  napi_value record, role, params, video, audio, screen, properties;
  napi_create_object(env, &record);
  set_string(env, record, "uuid", m->uuid);

  napi_create_object(env, &video);
  set_int(env, video, "width", m->video_width);
  set_int(env, video, "height", m->video_height);
  set_int(env, video, "fps", m->video_fps);
  napi_create_object(env, &audio);
  set_string(env, audio, "profile", m->audio_profile);
  set_string(env, audio, "scenario", m->audio_scenario);
  napi_create_object(env, &screen);
  set_string(env, screen, "videoProfile", m->screen_video_profile);
  set_int(env, screen, "preferMotionFPS", m->prefer_motion);
  set_int(env, screen, "preferDetailsFPS", m->prefer_details);
  napi_create_object(env, &params);
  napi_set_named_property(env, params, "video", video);
  napi_set_named_property(env, params, "audio", audio);
  napi_set_named_property(env, params, "screen", screen);
  napi_create_object(env, &role);
  set_string(env, role, "name", m->role_name);
  set_int(env, role, "limit", m->role_limit);
  napi_set_named_property(env, role, "params", params);
  napi_set_named_property(env, record, "role", role);

  set_string(env, record, "name", m->name);
  set_bool(env, record, "isAudioConnected", m->audio_connected);
  set_bool(env, record, "isAudioOn", m->audio_on);
  set_bool(env, record, "isVideoOn", m->video_on);
  set_bool(env, record, "isInRtcChannel", m->in_rtc);
  set_bool(env, record, "isInChatroom", m->in_chatroom);
  set_bool(env, record, "isSharingScreen", m->sharing_screen);
  set_bool(env, record, "isSharingWhiteboard", m->sharing_whiteboard);
  set_int(env, record, "inviteState", m->invite_state);
  set_int(env, record, "inviteType", m->invite_type);
  set_bool(env, record, "isInAppInviting", m->app_inviting);
  set_bool(env, record, "isInSipInviting", m->sip_inviting);
  set_bool(env, record, "isSharingSystemAudio", m->sharing_system_audio);

  /* Map entries are own data properties whatever the key says, "__proto__" included. */
  napi_create_object(env, &properties);
  for (int i = 0; i < m->property_count; ++i) {
    napi_property_descriptor entry = {0};
    napi_create_string_utf8(env, m->property_keys[i], NAPI_AUTO_LENGTH, &entry.name);
    napi_create_string_utf8(env, m->property_values[i], NAPI_AUTO_LENGTH, &entry.value);
    entry.attributes = napi_writable | napi_enumerable | napi_configurable;
    napi_define_properties(env, properties, 1, &entry);
  }
  napi_set_named_property(env, record, "properties", properties);
  set_int(env, record, "clientType", m->client_type);
  set_string(env, record, "avatar", m->avatar);
  return record;
}

static void call_with_member(napi_env env, napi_value fn, void* context, void* data) {
  (void)context;
  struct member* m = data;
  if (env != NULL && m != NULL) {
    napi_value undefined, args[2], record;
    napi_get_undefined(env, &undefined);
    napi_create_string_utf8(env, "onMemberJoinRoom", NAPI_AUTO_LENGTH, &args[0]);
    napi_create_array_with_length(env, 1, &args[1]);
    record = member_to_js(env, m);
    napi_set_element(env, args[1], 0, record);
    napi_call_function(env, undefined, fn, 2, args, NULL);
  }
  free_member(m);
}

struct member_feed {
  struct feed feed;
  struct member* member;
};

static void* feed_members(void* arg) {
  struct feed* feed = arg;
  struct member* template = ((struct member_feed*)arg)->member;
  for (int32_t i = 0; i < feed->count; ++i) {
    struct member* copy = copy_member(template);
    if (napi_call_threadsafe_function(feed->tsfn, copy, napi_tsfn_blocking) != napi_ok) free_member(copy);
  }
  napi_release_threadsafe_function(feed->tsfn, napi_tsfn_release);
  free_member(template);
  free(feed);
  return NULL;
}

static char* read_text(napi_env env, napi_value object, const char* key) {
  napi_value value;
  char buffer[256];
  size_t length = 0;
  buffer[0] = '\0';
  if (napi_get_named_property(env, object, key, &value) == napi_ok) {
    napi_valuetype type;
    napi_typeof(env, value, &type);
    if (type == napi_string) napi_get_value_string_utf8(env, value, buffer, sizeof buffer, &length);
  }
  return copy_text(buffer);
}

static int32_t read_int(napi_env env, napi_value object, const char* key) {
  napi_value value;
  int32_t out = 0;
  if (napi_get_named_property(env, object, key, &value) == napi_ok) napi_get_value_int32(env, value, &out);
  return out;
}

static int read_flag(napi_env env, napi_value object, const char* key, int fallback) {
  napi_value value;
  napi_valuetype type;
  bool out = fallback != 0;
  if (napi_get_named_property(env, object, key, &value) == napi_ok && napi_typeof(env, value, &type) == napi_ok &&
      type == napi_boolean) {
    napi_get_value_bool(env, value, &out);
  }
  return out;
}

/* The member as the simulated SDK reads it from script (the same object the
 * benchmark emits), so both sides carry the same values. */
static struct member* member_from_js(napi_env env, napi_value object) {
  struct member* m = calloc(1, sizeof *m);
  if (m == NULL) return NULL;
  napi_value role, properties, names;
  m->uuid = read_text(env, object, "uuid");
  m->name = read_text(env, object, "name");
  m->avatar = read_text(env, object, "avatar");
  napi_get_named_property(env, object, "role", &role);
  m->role_name = read_text(env, role, "name");
  m->role_limit = read_int(env, role, "limit");
  m->video_width = read_int(env, role, "videoWidth");
  m->video_height = read_int(env, role, "videoHeight");
  m->video_fps = read_int(env, role, "videoFps");
  m->audio_profile = read_text(env, role, "audioProfile");
  m->audio_scenario = read_text(env, role, "audioScenario");
  m->screen_video_profile = read_text(env, role, "screenVideoProfile");
  m->prefer_motion = read_flag(env, role, "screenPreferMotion", 0);
  m->prefer_details = read_flag(env, role, "screenPreferDetails", 0);
  m->audio_connected = read_flag(env, object, "isAudioConnected", 1);
  m->audio_on = read_flag(env, object, "isAudioOn", 0);
  m->video_on = read_flag(env, object, "isVideoOn", 0);
  m->in_rtc = read_flag(env, object, "isInRtcChannel", 1);
  m->in_chatroom = read_flag(env, object, "isInChatroom", 1);
  m->sharing_screen = read_flag(env, object, "isSharingScreen", 0);
  m->sharing_whiteboard = read_flag(env, object, "isSharingWhiteboard", 0);
  m->app_inviting = read_flag(env, object, "isInAppInviting", 0);
  m->sip_inviting = read_flag(env, object, "isInSipInviting", 0);
  m->sharing_system_audio = read_flag(env, object, "isSharingSystemAudio", 0);
  m->invite_state = read_int(env, object, "inviteState");
  m->invite_type = read_int(env, object, "inviteType");
  m->client_type = read_int(env, object, "clientType");
  uint32_t count = 0;
  if (napi_get_named_property(env, object, "properties", &properties) == napi_ok &&
      napi_get_property_names(env, properties, &names) == napi_ok && napi_get_array_length(env, names, &count) == napi_ok) {
    for (uint32_t i = 0; i < count && m->property_count < MAX_PROPERTIES; ++i) {
      napi_value key;
      char buffer[256];
      size_t length = 0;
      napi_get_element(env, names, i, &key);
      if (napi_get_value_string_utf8(env, key, buffer, sizeof buffer, &length) != napi_ok) continue;
      m->property_keys[m->property_count] = copy_text(buffer);
      m->property_values[m->property_count] = read_text(env, properties, buffer);
      m->property_count++;
    }
  }
  return m;
}

static napi_value member_events(napi_env env, napi_callback_info info) {
  size_t argc = 3;
  napi_value argv[3];
  napi_get_cb_info(env, info, &argc, argv, NULL, NULL);
  int32_t count = 0;
  napi_get_value_int32(env, argv[0], &count);
  struct member_feed* feed = malloc(sizeof *feed);
  if (feed == NULL) return NULL;
  feed->member = member_from_js(env, argv[1]);
  feed->feed.count = count;
  napi_value name;
  napi_create_string_utf8(env, "baseline", NAPI_AUTO_LENGTH, &name);
  if (feed->member == NULL || napi_create_threadsafe_function(env, argv[2], NULL, name, 0, 1, NULL, NULL, NULL,
                                                              call_with_member, &feed->feed.tsfn) != napi_ok) {
    free_member(feed->member);
    free(feed);
    return NULL;
  }
  pthread_t thread;
  if (pthread_create(&thread, NULL, feed_members, feed) != 0) {
    napi_release_threadsafe_function(feed->feed.tsfn, napi_tsfn_abort);
    free_member(feed->member);
    free(feed);
    return NULL;
  }
  pthread_detach(thread);
  return NULL;
}

/* --- one function per call --- */

/* A native thread completes each call: it takes the queued function, calls it once
 * and releases it, as an SDK thread completes an operation. */
struct trips {
  pthread_mutex_t mutex;
  pthread_cond_t wake;
  napi_threadsafe_function* queue;
  size_t head, tail, capacity;
  int started;
};

static struct trips g_trips = {PTHREAD_MUTEX_INITIALIZER, PTHREAD_COND_INITIALIZER, NULL, 0, 0, 0, 0};

static void* complete_trips(void* arg) {
  (void)arg;
  for (;;) {
    pthread_mutex_lock(&g_trips.mutex);
    while (g_trips.head == g_trips.tail) pthread_cond_wait(&g_trips.wake, &g_trips.mutex);
    napi_threadsafe_function tsfn = g_trips.queue[g_trips.head++ % g_trips.capacity];
    pthread_mutex_unlock(&g_trips.mutex);
    napi_call_threadsafe_function(tsfn, NULL, napi_tsfn_nonblocking);
    napi_release_threadsafe_function(tsfn, napi_tsfn_release);
  }
  return NULL;
}

static int push_trip(napi_threadsafe_function tsfn) {
  pthread_mutex_lock(&g_trips.mutex);
  if (g_trips.tail - g_trips.head == g_trips.capacity) {
    size_t capacity = g_trips.capacity == 0 ? 1024 : g_trips.capacity * 2;
    napi_threadsafe_function* grown = malloc(capacity * sizeof *grown);
    if (grown == NULL) {
      pthread_mutex_unlock(&g_trips.mutex);
      return 0;
    }
    size_t used = g_trips.tail - g_trips.head;
    for (size_t i = 0; i < used; ++i) grown[i] = g_trips.queue[(g_trips.head + i) % g_trips.capacity];
    free(g_trips.queue);
    g_trips.queue = grown;
    g_trips.head = 0;
    g_trips.tail = used;
    g_trips.capacity = capacity;
  }
  g_trips.queue[g_trips.tail++ % g_trips.capacity] = tsfn;
  if (!g_trips.started) {
    pthread_t thread;
    if (pthread_create(&thread, NULL, complete_trips, NULL) == 0) {
      pthread_detach(thread);
      g_trips.started = 1;
    }
  }
  pthread_cond_signal(&g_trips.wake);
  pthread_mutex_unlock(&g_trips.mutex);
  return 1;
}

static void call_with_result(napi_env env, napi_value fn, void* context, void* data) {
  (void)context;
  (void)data;
  if (env == NULL) return;
  /* The shape of a completion: (code, message). */
  napi_value undefined, args[2];
  napi_get_undefined(env, &undefined);
  napi_create_int32(env, 0, &args[0]);
  napi_create_string_utf8(env, "", 0, &args[1]);
  napi_call_function(env, undefined, fn, 2, args, NULL);
}

static napi_value round_trip(napi_env env, napi_callback_info info) {
  size_t argc = 1;
  napi_value fn, name;
  napi_get_cb_info(env, info, &argc, &fn, NULL, NULL);
  napi_create_string_utf8(env, "baseline", NAPI_AUTO_LENGTH, &name);
  napi_threadsafe_function tsfn;
  if (napi_create_threadsafe_function(env, fn, NULL, name, 0, 1, NULL, NULL, NULL, call_with_result, &tsfn) != napi_ok) {
    return NULL;
  }
  if (!push_trip(tsfn)) napi_release_threadsafe_function(tsfn, napi_tsfn_abort);
  return NULL;
}

static napi_value thread_cpu_ns(napi_env env, napi_callback_info info) {
  (void)info;
  struct timespec now = {0, 0};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  napi_value out;
  napi_create_double(env, (double)now.tv_sec * 1e9 + (double)now.tv_nsec, &out);
  return out;
}

static napi_value init(napi_env env, napi_value exports) {
  napi_property_descriptor functions[] = {
      {"noop", NULL, noop, NULL, NULL, NULL, napi_enumerable, NULL},
      {"threadSafeCalls", NULL, thread_safe_calls, NULL, NULL, NULL, napi_enumerable, NULL},
      {"memberEvents", NULL, member_events, NULL, NULL, NULL, napi_enumerable, NULL},
      {"roundTrip", NULL, round_trip, NULL, NULL, NULL, napi_enumerable, NULL},
      {"threadCpuNs", NULL, thread_cpu_ns, NULL, NULL, NULL, napi_enumerable, NULL},
  };
  napi_define_properties(env, exports, sizeof functions / sizeof functions[0], functions);
  return exports;
}

NAPI_MODULE_INIT() { return init(env, exports); }
