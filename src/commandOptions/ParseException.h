// The parse errors: ParseException and its four kinds, each carrying one message text.
#pragma once

#include <stdexcept>
#include <string>

namespace vantrel::commandOptions {

/// A command line that cannot be parsed; the message is one of the fixed texts.
class ParseException : public std::runtime_error {
public:
  explicit ParseException(const std::string &message) : std::runtime_error(message) {}
};

/// An option that needs a value was given without one.
class MissingArgumentException : public ParseException {
public:
  using ParseException::ParseException;
};

/// One or more required options (or groups) did not occur.
class MissingOptionException : public ParseException {
public:
  using ParseException::ParseException;
};

/// A token names no option (strict mode only).
class UnrecognizedOptionException : public ParseException {
public:
  using ParseException::ParseException;
};

/// Two members of one option group were given.
class AlreadySelectedException : public ParseException {
public:
  using ParseException::ParseException;
};

} // namespace vantrel::commandOptions
