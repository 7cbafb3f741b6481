#include "engine/options/TaskOptions.h"

#include "engine/options/OptionParsers.h"
#include "engine/options/OptionVocabulary.h"
#include "media/EngineException.h"

TaskOptions::TaskOptions() = default;

void TaskOptions::Apply(const std::string& name, const std::string& value, OptionHost& host) {
  if (const OptionHandler* handler = FindOptionHandler(name)) {
    (*handler)(OptionCall{*this, name, value, host});
    return;
  }
  SetGeneric(name, value);
}

void TaskOptions::SetGeneric(const std::string& name, const std::string& value) {
  // A name unknown to the libraries as well is ignored without a message; a
  // value they refuse fails the option.
  if (generic.Set(name, value) == GenericOptions::Result::InvalidValue)
    throw EngineException(option_parsers::InvalidValueText(name, value));
}

void TaskOptions::Reset() {
  pending = PendingFileSettings{};
  task = TaskSettings{};
  generic.Clear();
}
