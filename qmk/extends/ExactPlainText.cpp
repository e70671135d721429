#include "qmk/extends/ExactPlainText.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVariant>

namespace qmk::extends {

namespace {

constexpr const char* shownKey = "exactTextShown";
constexpr const char* blocksKey = "exactTextBlocks";

// The first kind of line break the text uses; LF when it has none.
QString lineBreakOf(const QString& text)
{
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] == QLatin1Char('\n'))
            break;
        if (text[at] == QLatin1Char('\r'))
            return text.mid(at, 2) == QLatin1String("\r\n") ? QStringLiteral("\r\n")
                                                            : QStringLiteral("\r");
    }
    return QStringLiteral("\n");
}

} // namespace

void setExactText(QPlainTextEdit& box, const QString& text)
{
    box.setPlainText(text);
    box.setProperty(shownKey, text);
    box.setProperty(blocksKey, box.document()->toRawText());
}

QString exactText(const QPlainTextEdit& box)
{
    // The raw text holds every character as typed, with a paragraph separator between blocks
    // (Enter, a line break pasted) and a line separator where Shift+Enter broke a line.
    QString blocks = box.document()->toRawText();
    const QString shown = box.property(shownKey).toString();
    if (blocks == box.property(blocksKey).toString())
        return shown;
    const QString lineBreak = lineBreakOf(shown);
    return blocks.replace(QChar::ParagraphSeparator, lineBreak)
        .replace(QChar::LineSeparator, lineBreak);
}

} // namespace qmk::extends
