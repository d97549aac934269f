#pragma once

#include <deque>
#include <vector>

#include <QString>

namespace th::regscript {

class ScriptLineReader;

// The lines of a script that are still needed: the one being read and those its data
// continues over. A line is read from the file the first time it is asked for and dropped
// once the reader of the script has passed it.
class LineWindow final {
public:
    explicit LineWindow(ScriptLineReader &reader)
        : m_reader(reader)
    {
    }

    // Line `index` (0-based), or nullptr past the last line and when reading failed. The
    // line stays where it is until it is dropped.
    const QString *at(qsizetype index);
    void dropBefore(qsizetype index);
    // The number of lines read from the file so far.
    qsizetype readCount() const { return m_first + qsizetype(m_lines.size()); }

private:
    ScriptLineReader &m_reader;
    std::deque<QString> m_lines;
    std::vector<QString> m_spare; // buffers of dropped lines, for the next lines read
    qsizetype m_first = 0;
};

} // namespace th::regscript
