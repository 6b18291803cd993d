#pragma once
// Everything of the platform the logic may use, handed in as one value so that each test
// builds a fresh one.
#include "platform/api/desktop.h"
#include "platform/api/files.h"
#include "platform/api/http.h"
#include "platform/api/loop.h"
#include "platform/api/processes.h"
#include "platform/api/registry.h"
#include "platform/api/resources.h"
#include "platform/api/system.h"
#include "platform/api/timers.h"

namespace tovren::platform {

struct Platform {
  Files& files;
  Resources& resources;
  Processes& processes;
  Registry& registry;
  Http& http;
  Desktop& desktop;
  Timers& timers;
  Keys& keys;
  Loop& loop;
  Clock& clock;
  Worker& worker;
  System& system;
};

}  // namespace tovren::platform
