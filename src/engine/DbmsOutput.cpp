#include "engine/DbmsOutput.h"

#include <algorithm>

namespace engine {

namespace {

OraError overflow(std::int64_t limit)
{
    return OraError::make(20000, "ORU-10027: buffer overflow, limit of " + std::to_string(limit) + " bytes");
}

OraError lineTooLong()
{
    return OraError::make(20000, "ORU-10028: line length overflow, limit of 32767 bytes per line");
}

} // namespace

void DbmsOutput::enable(std::optional<std::int64_t> bufferSize)
{
    m_enabled = true;
    if (bufferSize)
        m_limit = std::clamp<std::int64_t>(*bufferSize, 2000, 1000000);
    else
        m_limit.reset();
}

void DbmsOutput::disable()
{
    m_enabled = false;
    m_lines.clear();
    m_pending.clear();
    m_used = 0;
    m_readSinceWrite = false;
}

void DbmsOutput::discardIfRead()
{
    if (!m_readSinceWrite)
        return;
    m_readSinceWrite = false;
    m_lines.clear();
    m_used = static_cast<std::int64_t>(m_pending.size());
}

OraError DbmsOutput::put(std::string_view text)
{
    if (!m_enabled)
        return {};
    discardIfRead();
    if (static_cast<std::int64_t>(m_pending.size() + text.size()) > MaxLineBytes)
        return lineTooLong();
    if (m_limit && m_used + static_cast<std::int64_t>(text.size()) > *m_limit)
        return overflow(*m_limit);
    m_pending += text;
    m_used += static_cast<std::int64_t>(text.size());
    return {};
}

OraError DbmsOutput::newLine()
{
    if (!m_enabled)
        return {};
    discardIfRead();
    // A line costs one byte beyond its text, so an endless stream of empty lines still fills the buffer.
    if (m_limit && m_used + 1 > *m_limit)
        return overflow(*m_limit);
    m_used += 1;
    m_lines.push_back(std::move(m_pending));
    m_pending.clear();
    return {};
}

OraError DbmsOutput::putLine(std::string_view text)
{
    if (!m_enabled)
        return {};
    discardIfRead();
    if (static_cast<std::int64_t>(m_pending.size() + text.size()) > MaxLineBytes)
        return lineTooLong();
    if (m_limit && m_used + static_cast<std::int64_t>(text.size()) + 1 > *m_limit)
        return overflow(*m_limit);
    m_pending += text;
    m_used += static_cast<std::int64_t>(text.size());
    return newLine();
}

int DbmsOutput::getLine(std::string& line)
{
    line.clear();
    if (!m_enabled || m_lines.empty())
        return 1;
    line = std::move(m_lines.front());
    m_lines.pop_front();
    m_used -= static_cast<std::int64_t>(line.size()) + 1;
    m_readSinceWrite = true;
    return 0;
}

} // namespace engine
