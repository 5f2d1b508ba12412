#pragma once

#include <iostream>
#include <sstream>

// Keeps the driver's device-open lines (std::wcout) in a buffer while it
// lives, so that the test framework's narrow output never turns wide.
class WideOutputSink {
public:
    WideOutputSink()
        : m_old(std::wcout.rdbuf(m_buffer.rdbuf()))
    {
    }
    ~WideOutputSink() { std::wcout.rdbuf(m_old); }
    WideOutputSink(const WideOutputSink&) = delete;
    WideOutputSink& operator=(const WideOutputSink&) = delete;

    // What was written since the last call.
    std::wstring take()
    {
        const std::wstring text = m_buffer.str();
        m_buffer.str({});
        return text;
    }

private:
    std::wostringstream m_buffer;
    std::wstreambuf* m_old;
};
