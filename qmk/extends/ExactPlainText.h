#pragma once
// A multi-line text box that gives back its text character for character. QPlainTextEdit keeps
// a text as blocks: its own toPlainText turns no-break spaces into spaces and every line break
// into LF. Here a text shown with setExactText comes back from exactText as it was while the box
// is not changed; a changed text keeps every character typed and breaks its lines as the text
// shown did (CR LF, CR or LF). A box never given a text breaks its lines with LF. Every line
// break the box shows is one: Enter, Shift+Enter, a pasted break, and a U+2028 or U+2029 the
// text shown held (it is handed back as it was while the box is not changed).
#include <QString>

class QPlainTextEdit;

namespace qmk::extends {

void setExactText(QPlainTextEdit& box, const QString& text);
QString exactText(const QPlainTextEdit& box);

} // namespace qmk::extends
