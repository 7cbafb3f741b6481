#include "media/EngineException.h"

EngineException::EngineException(const std::string& message) : std::runtime_error(message) {}
