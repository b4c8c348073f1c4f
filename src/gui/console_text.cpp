#include "gui/console_text.h"

namespace bp::gui {

namespace {

// Where the last complete UTF-8 character of bytes ends: a lead byte near the
// end whose character needs more bytes than are there starts a cut one.
std::size_t completeLength(std::string_view bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const std::size_t needed = byte >= 0xF0 && byte <= 0xF7   ? 4
                                   : byte >= 0xE0 && byte <= 0xEF ? 3
                                   : byte >= 0xC0 && byte <= 0xDF ? 2
                                                                  : 1;
        return needed > back ? size - back : size;
    }
    return size;
}

} // namespace

QString ConsoleText::Update::replacement() const {
    if (ended.isEmpty())
        return open;
    return ended.join(QLatin1Char('\n')) + QLatin1Char('\n') + open;
}

ConsoleText::Update ConsoleText::append(std::string_view bytes) {
    std::string joined;
    if (!m_cut.empty()) {
        joined = m_cut;
        joined.append(bytes);
        bytes = joined;
    }
    const std::size_t complete = completeLength(bytes);
    Update update;
    put(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(complete)), update);
    m_cut.assign(bytes.substr(complete));
    update.open = m_line;
    return update;
}

ConsoleText::Update ConsoleText::finish(const QString& lastLine) {
    Update update;
    // A character cut short is one unreadable character, however many of
    // its bytes came.
    if (!m_cut.empty())
        put(QString(QChar::ReplacementCharacter), update);
    m_cut.clear();
    if (!m_line.isEmpty())
        update.ended.append(m_line);
    m_line = lastLine;
    m_column = lastLine.size();
    update.open = m_line;
    return update;
}

void ConsoleText::put(const QString& text, Update& update) {
    qsizetype plain = 0; // start of the characters not yet written
    const auto writePlain = [&](qsizetype end) {
        if (end > plain) {
            // Overwrites from the column, and goes on past the line's end.
            m_line.replace(m_column, end - plain, text.mid(plain, end - plain));
            m_column += end - plain;
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r') && c != QLatin1Char('\b'))
            continue;
        writePlain(i);
        plain = i + 1;
        if (c == QLatin1Char('\n')) {
            update.ended.append(m_line);
            m_line.clear();
            m_column = 0;
        } else if (c == QLatin1Char('\r')) {
            m_column = 0;
        } else if (m_column > 0) {
            --m_column;
        }
    }
    writePlain(text.size());
}

} // namespace bp::gui
