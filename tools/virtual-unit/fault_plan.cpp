#include "fault_plan.h"

#include "platform/win32_error.h"

namespace virtualunit {

void FaultPlan::arm(const std::string& operation, int times, std::uint32_t error)
{
    if (times == 0) {
        m_faults.erase(operation);
        return;
    }
    // A failure that answers "success" would not be a failure.
    if (error == platform::win32::kErrorSuccess)
        error = platform::win32::kErrorGenFailure;
    m_faults[operation] = Fault{times < 0 ? -1 : times, error};
}

void FaultPlan::heal(const std::string& operation)
{
    if (operation.empty())
        m_faults.clear();
    else
        m_faults.erase(operation);
}

std::optional<std::uint32_t> FaultPlan::take(const std::string& operation)
{
    const auto found = m_faults.find(operation);
    if (found == m_faults.end())
        return std::nullopt;
    const std::uint32_t error = found->second.error;
    if (found->second.remaining > 0 && --found->second.remaining == 0)
        m_faults.erase(found);
    return error;
}

} // namespace virtualunit
