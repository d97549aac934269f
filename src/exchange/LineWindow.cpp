#include "exchange/LineWindow.h"

#include "exchange/ScriptLineReader.h"

namespace th::regscript {

const QString *LineWindow::at(qsizetype index)
{
    Q_ASSERT(index >= m_first);
    while (index >= m_first + qsizetype(m_lines.size())) {
        QString line;
        if (!m_spare.empty()) {
            line = std::move(m_spare.back());
            m_spare.pop_back();
        }
        if (!m_reader.readLine(line))
            return nullptr;
        m_lines.push_back(std::move(line));
    }
    return &m_lines[std::size_t(index - m_first)];
}

void LineWindow::dropBefore(qsizetype index)
{
    // A few dropped buffers are kept: a value continues over few lines.
    constexpr std::size_t kSpareLines = 4;
    while (m_first < index && !m_lines.empty()) {
        if (m_spare.size() < kSpareLines)
            m_spare.push_back(std::move(m_lines.front()));
        m_lines.pop_front();
        ++m_first;
    }
}

} // namespace th::regscript
