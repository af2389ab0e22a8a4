#pragma once

// The reason under a box's own text: whoever shows a failure to the player
// says what the failing step gave as its cause (the file, the line, the
// system's reason), on a line of its own.

#include <exception>
#include <string>

class CVARDException;

// What an exception says for people: a system exception's detail (its code
// when it has none), another exception's message.
std::string DescribeError(const std::exception_ptr& error);
std::string DescribeError(const CVARDException& error);
// The same for the exception being handled; call it inside a catch block.
std::string DescribeCurrentError();
// The box's text, then the cause on the next line; the text alone when there
// is no cause.
std::string WithCause(const std::string& text, const std::string& cause);
