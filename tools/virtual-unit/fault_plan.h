#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

// Injected failures, by operation name. An armed operation fails its next
// `times` exchanges (or every exchange until healed) with a given Win32 code.
namespace virtualunit {

class FaultPlan {
public:
    struct Fault {
        int remaining;       // < 0: until healed
        std::uint32_t error; // never 0
    };

    // times < 0 arms until healed; times == 0 heals the operation.
    void arm(const std::string& operation, int times, std::uint32_t error);
    void heal(const std::string& operation); // empty: every operation

    // The error the next exchange of `operation` fails with, if it is armed;
    // counts that failure.
    std::optional<std::uint32_t> take(const std::string& operation);

    const std::map<std::string, Fault>& faults() const { return m_faults; }

private:
    std::map<std::string, Fault> m_faults;
};

} // namespace virtualunit
