#pragma once

// A run journal record framed as the writer frames it (type, length, payload, CRC-32 of the three),
// so that tests and the fuzz target can put payloads the writer would never make behind a good
// checksum.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace testsupport {

inline std::string FramedJournalRecord(std::uint8_t type, std::string_view payload) {
    std::string record(1, static_cast<char>(type));
    for (int i = 0; i < 4; ++i)
        record.push_back(static_cast<char>((payload.size() >> (8 * i)) & 0xFF));
    record += payload;
    const auto crc = static_cast<std::uint32_t>(
        crc32_z(0, reinterpret_cast<const unsigned char*>(record.data()), record.size()));
    for (int i = 0; i < 4; ++i)
        record.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
    return record;
}

}  // namespace testsupport
