// Exception and the class library's derived exception types.
#pragma once

#include "platform/classes/AnsiString.h"

#include <exception>

// The base of every exception the system raises on purpose; Message is 8-bit text in the code page
// MessageCodePage names, 0 for the ANSI code page (a fixed text written for one code page, such as a
// Shift_JIS message, names its own so it reads the same under any ANSI code page).
class Exception : public std::exception {
public:
    explicit Exception(AnsiString message, int messageCodePage = 0)
        : Message(std::move(message)), MessageCodePage(messageCodePage)
    {
    }
    const char* what() const noexcept override { return Message.c_str(); }

    AnsiString Message;
    int MessageCodePage;
};

class EStreamError : public Exception { using Exception::Exception; };
class EReadError : public EStreamError { using EStreamError::EStreamError; };
class EWriteError : public EStreamError { using EStreamError::EStreamError; };
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };
class EConvertError : public Exception { using Exception::Exception; };
class EListError : public Exception { using Exception::Exception; };
class EOutOfMemory : public Exception { using Exception::Exception; };
class EOutOfResources : public Exception { using Exception::Exception; };
class EThread : public Exception { using Exception::Exception; };
