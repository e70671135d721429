#include "qmk/custom/LinkText.h"

#include <QMouseEvent>
#include <QPalette>

namespace qmk::custom {

LinkText::LinkText(QWidget* parent, const QString& text) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setLink(text);
}

void LinkText::setLink(const QString& text)
{
    setText(text);
    setToolTip("Navigate to " + text);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::blue);
    setPalette(colours);
    setCursor(Qt::PointingHandCursor);
    update();
}

void LinkText::mousePressEvent(QMouseEvent* event)
{
    emit clicked();
    QLabel::mousePressEvent(event);
}

} // namespace qmk::custom
