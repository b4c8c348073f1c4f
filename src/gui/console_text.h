#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace bp::gui {

// What a console shows of a program's output, fed with the raw bytes as they
// arrive: UTF-8 with invalid bytes shown as U+FFFD and a character cut
// between two chunks kept whole, "\n" or "\r\n" ending a line, and a lone
// "\r" going back to the start of the line, so that a progress counter
// overwrites itself as it does in a terminal.
class ConsoleText {
  public:
    // How the shown text changes: its last line, the one still open, is
    // replaced by the lines ended since the last change (the first of them
    // is that open line as it ended) followed by the new open line.
    struct Update {
        QStringList ended;
        QString open;
        // The replacement for the last line, with "\n" between lines.
        QString replacement() const;
    };

    Update append(std::string_view bytes);
    // The output is over: a character left cut is shown as U+FFFD, the open
    // line is ended unless it is empty, and lastLine becomes the open line.
    Update finish(const QString& lastLine);

  private:
    void put(const QString& text, Update& update);

    std::string m_cut; // the start of a character the next chunk completes
    QString m_line;    // the open line
    qsizetype m_column = 0;
};

} // namespace bp::gui
