#pragma once

#include "request.h"

#include <cstdint>
#include <string>
#include <vector>

// The decoded trace line of an exchange. A line names what was asked
// ("SetSampleRate 48000", "SetMic48V channel=2 state=0",
// "WriteMixer (64,0)=1 (65,1)=1"), then either the answer of a read
// (" -> 44100") or, for a refused exchange, " failed <code>" and a note
// ("WriteMixer failed 87 (in 100 out 0)").
namespace virtualunit {

// The most changed cells one WriteMixer line lists; the rest are counted.
inline constexpr std::size_t kMixerDiffCellLimit = 300;

// What the request asks for. A WriteMixer request is summed up by the cells
// that differ from `previousMixer` (row-major order, values as %.6g).
std::string describeRequest(const Request& request, const std::vector<double>& previousMixer);

// "(r,c)=v ..." for every cell of `block` (kMixerBlockSize bytes of
// little-endian doubles) whose bits differ from `previous`; "(no change)"
// when none does.
std::string mixerDiff(const std::vector<double>& previous, const unsigned char* block);

// Firmware bytes as text: printable ASCII as is, any other byte (and the
// backslash) as \xNN.
std::string printableBytes(const std::string& bytes);

// `asked` followed by " failed <error>" and, when there is one, the note.
std::string failedLine(const std::string& asked, std::uint32_t error, const std::string& note);

} // namespace virtualunit
