#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

// The unit's trace: one line per exchange, oldest first, dropping the oldest
// lines past its capacity.
namespace virtualunit {

class TraceLog {
public:
    static constexpr std::size_t kDefaultCapacity = 20000;

    explicit TraceLog(std::size_t capacity = kDefaultCapacity)
        : m_capacity(capacity)
    {
    }

    void append(std::string line)
    {
        m_lines.push_back(std::move(line));
        while (m_lines.size() > m_capacity)
            m_lines.pop_front();
    }

    std::vector<std::string> lines() const { return {m_lines.begin(), m_lines.end()}; }

    std::vector<std::string> take()
    {
        std::vector<std::string> taken = lines();
        m_lines.clear();
        return taken;
    }

    void clear() { m_lines.clear(); }

private:
    std::size_t m_capacity;
    std::deque<std::string> m_lines;
};

} // namespace virtualunit
