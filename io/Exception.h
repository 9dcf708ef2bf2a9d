// Base of the framework's exceptions: carries the message shown to the user.
#pragma once

#include <exception>
#include <string>

class CException : public std::exception {
public:
    explicit CException(std::string message = {}) : m_message(std::move(message)) {}

    // The text for the user's message box (UTF-8, Chinese).
    const std::string& GetErrorMessage() const { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

protected:
    std::string m_message;
};
