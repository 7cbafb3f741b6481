#pragma once

#include <stdexcept>
#include <string>

// Failure inside the engine, carrying one of the engine's fixed message texts.
// Component boundaries turn it into a false / -1 result plus LastErrorMessage,
// or into a task end that carries the text.
class EngineException : public std::runtime_error {
 public:
  explicit EngineException(const std::string& message);
};
