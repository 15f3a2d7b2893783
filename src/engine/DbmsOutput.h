#pragma once

#include "engine/OraError.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// One session's DBMS_OUTPUT buffer. The OCI layer owns one per session and passes it to PlsqlBlock.
// Semantics: disabled at start; calls while disabled are ignored; PUT collects a line that only NEW_LINE or
// PUT_LINE completes; the buffer limit counts the bytes of completed and pending lines; after a GET_LINE the
// unread lines are discarded by the next PUT, PUT_LINE or NEW_LINE.
class DbmsOutput
{
public:
    static constexpr std::int64_t DefaultLimit = 20000;
    static constexpr std::int64_t MaxLineBytes = 32767;

    // ENABLE(size): NULL (nullopt) = unlimited; sizes are clamped to 2000..1000000; the last call wins and
    // the content is kept.
    void enable(std::optional<std::int64_t> bufferSize = DefaultLimit);
    // DISABLE: stops collecting and purges the buffer.
    void disable();
    bool isEnabled() const { return m_enabled; }

    // Fail with ORA-20000 ORU-10027 (buffer overflow, limit of N bytes) or ORU-10028 (line too long).
    OraError put(std::string_view text);
    OraError putLine(std::string_view text);
    OraError newLine();

    // GET_LINE: 0 and the line, or 1 and "" when no completed line remains (or when disabled).
    int getLine(std::string& line);

private:
    void discardIfRead();

    bool m_enabled = false;
    std::optional<std::int64_t> m_limit = DefaultLimit; // nullopt = unlimited
    std::deque<std::string> m_lines;                     // completed lines not yet read
    std::string m_pending;                               // the line PUT is building
    std::int64_t m_used = 0;                             // bytes counted against the limit
    bool m_readSinceWrite = false;                       // a GET_LINE happened since the last write
};

} // namespace engine
