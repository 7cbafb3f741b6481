#include "engine/TaskOptions.h"

#include "engine/OptionVocabulary.h"

TaskOptions::TaskOptions() = default;

void TaskOptions::Apply(const std::string& name, const std::string& value, OptionHost& host) {
  if (const OptionHandler* handler = FindOptionHandler(name)) {
    (*handler)(OptionCall{*this, name, value, host});
    return;
  }
  // Unknown to the library as well: ignored without a message.
  generic.Set(name, value);
}

void TaskOptions::Reset() {
  pending = PendingFileSettings{};
  task = TaskSettings{};
  generic.Clear();
}
