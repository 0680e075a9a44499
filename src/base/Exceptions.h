#pragma once
// One exception root with the engine's fixed English texts. Callers that
// show an error use Message(); tests compare it exactly.

#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const std::string& Message() const { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

// Streams
class EStreamError : public Exception { using Exception::Exception; };
class EReadError : public EStreamError {
public:
  EReadError() : EStreamError("Stream read error") {}
};
class EWriteError : public EStreamError {
public:
  EWriteError() : EStreamError("Stream write error") {}
};
class EFOpenError : public EStreamError {
public:
  // Error: the system's errno behind Reason, 0 when there is none.
  EFOpenError(const std::string& fileName, const std::string& reason, int error = 0);
  const std::string& FileName() const { return FFileName; }
  int Error() const { return FError; }

private:
  std::string FFileName;
  int FError;
};
class EFCreateError : public EStreamError {
public:
  EFCreateError(const std::string& fileName, const std::string& reason);
};

// Lists and conversions
class EListError : public Exception {
public:
  explicit EListError(long long index);
};
class EConvertError : public Exception { using Exception::Exception; };

// Copying an object from a source of another class.
class EAssignError : public Exception {
public:
  EAssignError(const std::string& sourceClass, const std::string& targetClass);
};

// A field offset outside an object's data block: always a programming fault.
class ERangeError : public Exception { using Exception::Exception; };
