#pragma once

#include "meter_generator.h"
#include "request.h"
#include "virtual_unit.h"

#include <string>
#include <vector>

// What the unit does with a well-formed request: the state it keeps and the
// answer it gives. Knows nothing of sockets, failures or the trace.
namespace virtualunit {

struct Outcome {
    std::vector<unsigned char> output; // exactly request.outSize bytes
    std::string result;                // the answer of a read for the trace; empty otherwise
};

class UnitModel {
public:
    explicit UnitModel(const Options& options);

    // `request` must be sized and free of errors. `seconds` is the time since
    // the unit started, for the meters.
    Outcome execute(const Request& request, MeterGenerator& meters, double seconds);

    UnitState& state() { return m_state; }
    const UnitState& state() const { return m_state; }

    // Ten bytes: cut, or padded with zero bytes.
    static std::string tenBytes(const std::string& firmware);

private:
    void applyVendorCommand(const Request& request);

    UnitState m_state;
};

} // namespace virtualunit
