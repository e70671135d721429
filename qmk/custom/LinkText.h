#pragma once
// A one-line link: blue text, "Navigate to <text>" as its tip, a hand cursor. It acts on the
// press of any mouse button (clicked); what it does is up to its user.
#include <QLabel>

namespace qmk::custom {

class LinkText : public QLabel {
    Q_OBJECT

public:
    LinkText(QWidget* parent, const QString& text);
    void setLink(const QString& text);

signals:
    // A mouse button went down on the link.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace qmk::custom
