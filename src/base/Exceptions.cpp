#include "base/Exceptions.h"

EFOpenError::EFOpenError(const std::string& fileName, const std::string& reason, int error)
    : EStreamError("Cannot open file \"" + fileName + "\". " + reason), FFileName(fileName), FError(error) {}

EFCreateError::EFCreateError(const std::string& fileName, const std::string& reason)
    : EStreamError("Cannot create file \"" + fileName + "\". " + reason) {}

EListError::EListError(long long index)
    : Exception("List index out of bounds (" + std::to_string(index) + ")") {}

EAssignError::EAssignError(const std::string& sourceClass, const std::string& targetClass)
    : Exception("Cannot assign a " + sourceClass + " to a " + targetClass) {}
