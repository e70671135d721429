#pragma once
// A one-line link: blue text, "Navigate to <text>" as its tip, a hand cursor. What a click does
// is up to its user (clicked).
#include <QLabel>

namespace qmk::custom {

class LinkText : public QLabel {
    Q_OBJECT

public:
    LinkText(QWidget* parent, const QString& text);
    void setLink(const QString& text);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace qmk::custom
