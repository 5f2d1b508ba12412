#pragma once

#include <iostream>
#include <sstream>

// Sends the driver's device-open lines (std::wcout) to a buffer while it
// lives, so that the narrow standard output the test framework writes to is
// never switched to wide orientation.
class WideOutputSink {
public:
    WideOutputSink()
        : m_old(std::wcout.rdbuf(m_buffer.rdbuf()))
    {
    }
    ~WideOutputSink() { std::wcout.rdbuf(m_old); }
    WideOutputSink(const WideOutputSink&) = delete;
    WideOutputSink& operator=(const WideOutputSink&) = delete;

private:
    std::wostringstream m_buffer;
    std::wstreambuf* m_old;
};
