#include "kit/kit_records.h"

#include "core/record_writer.h"

namespace parlo {

namespace {

using brimo::field;

// Script sees the versions in this order, not the record's.
const brimo::KeyWriter<SdkVersions> kVersionKeys[] = {
    field<&SdkVersions::imVersion>("imVersion"),
    field<&SdkVersions::parloVersion>("parloVersion"),
    field<&SdkVersions::rtcVersion>("rtcVersion"),
    field<&SdkVersions::whiteboardVersion>("whiteboardVersion"),
};

}  // namespace

Napi::Value to_js(Napi::Env env, const SdkVersions& versions) { return brimo::write_keys(env, versions, kVersionKeys); }

}  // namespace parlo
