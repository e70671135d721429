#include "qmk/extends/ElidedText.h"

#include <QPainter>
#include <QTabBar>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace qmk::extends {

namespace {

bool fits(const QWidget& widget, const QString& text, const QRect& room)
{
    return widget.fontMetrics().horizontalAdvance(text) <= room.width();
}

QString elided(const QWidget& widget, const QString& text, const QRect& room)
{
    return widget.fontMetrics().elidedText(text, Qt::ElideRight, room.width());
}

void setToolTipFor(QWidget& widget, const QString& text, const QRect& room)
{
    const QString tip = fits(widget, text, room) ? QString() : text;
    if (widget.toolTip() != tip)
        widget.setToolTip(tip);
}

class ElidedTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize size = QTabBar::tabSizeHint(index);
        size.setWidth(std::min(size.width(), fontMetrics().averageCharWidth() * 40));
        return size;
    }
};

} // namespace

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    // The layout gives the label the width there is; its text asks for none.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setWholeText(text);
}

void ElidedLabel::setWholeText(const QString& text)
{
    setText(text);
    updateToolTip();
}

QRect ElidedLabel::room() const
{
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

void ElidedLabel::updateToolTip()
{
    setToolTipFor(*this, text(), room());
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = room();
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), elided(*this, text(), area), foregroundRole());
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    updateToolTip();
}

ElidedStatusBar::ElidedStatusBar(QWidget* parent) : QStatusBar(parent)
{
    connect(this, &QStatusBar::messageChanged, this, [this] { updateToolTip(); });
}

QRect ElidedStatusBar::room() const
{
    // where QStatusBar puts a message when it holds no widgets (the size grip on the right)
    return rect().adjusted(6, 0, -12, 0);
}

void ElidedStatusBar::updateToolTip()
{
    setToolTipFor(*this, currentMessage(), room());
}

void ElidedStatusBar::paintEvent(QPaintEvent* event)
{
    const QString message = currentMessage();
    if (fits(*this, message, room())) {
        QStatusBar::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
    painter.setPen(palette().windowText().color());
    painter.drawText(room(), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine,
                     elided(*this, message, room()));
}

void ElidedStatusBar::resizeEvent(QResizeEvent* event)
{
    QStatusBar::resizeEvent(event);
    updateToolTip();
}

ElidedTabWidget::ElidedTabWidget(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new ElidedTabBar(this));
    setElideMode(Qt::ElideRight);
}

} // namespace qmk::extends
