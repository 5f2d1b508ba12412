#pragma once

#include <QString>
#include <array>
#include <cstdint>

class ModelPanel;

inline constexpr std::uint32_t kFirmwareVersionLength = 10;

// The units the panel recognises, by the USB product id the driver reports.
struct KnownModel {
    std::uint32_t productId;
    const char* name;         // as shown in the window title
    const char* addedLogLine; // logged once the panel is in the window
    ModelPanel* (*createPanel)();
};

// Null for a product id that is not a known model.
const KnownModel* findKnownModel(std::uint32_t productId);

// The ten firmware bytes as text, each as the character of the same code (a
// zero byte included).
QString firmwareText(const std::array<std::uint8_t, kFirmwareVersionLength>& firmware);

// "Quorlin VT2 - FW: " followed by the ten firmware bytes, each as the
// character of the same code (a zero byte included).
QString firmwareTitle(const KnownModel& model,
                      const std::array<std::uint8_t, kFirmwareVersionLength>& firmware);
