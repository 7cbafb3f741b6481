#pragma once

#include <functional>
#include <string>
#include <unordered_map>

#include "engine/options/TaskOptions.h"
#include "media/MediaLogger.h"

// The options the engine understands itself, by exact name. Each handler
// updates the task's option state or raises EngineException.
struct OptionCall {
  TaskOptions& options;
  const std::string& name;
  const std::string& value;
  OptionHost& host;

  // Logs with the task as sender (the host is the task).
  void Log(TLogLevel level, const std::string& text) const;
};
using OptionHandler = std::function<void(const OptionCall& call)>;
using OptionTable = std::unordered_map<std::string, OptionHandler>;

// nullptr for a name the engine leaves to the generic option store.
const OptionHandler* FindOptionHandler(const std::string& name);

// The groups of the table, each from its own file.
void AddPictureOptions(OptionTable& table);
void AddStreamKindOptions(OptionTable& table);
