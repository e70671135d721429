#pragma once
// One-line texts that never widen their window: the heading label and the status line ask for
// no width of their text; a text wider than the room it has is shown cut with "…", and the whole
// text is then the widget's tooltip (no tooltip while it fits). What they hold (text(),
// currentMessage(), tabText()) stays the whole text. UI thread only.
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>

namespace qmk::extends {

class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);
    // Replaces the text, shown as plain text on one line.
    void setWholeText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect room() const;
    void updateToolTip();
};

class ElidedStatusBar : public QStatusBar {
public:
    explicit ElidedStatusBar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect room() const;
    void updateToolTip();
};

// A tab folder whose tab titles take the room of at most 40 characters each; a longer title is
// cut with "…" (the whole of it is for the tab's tooltip, which whoever names the tab sets).
class ElidedTabWidget : public QTabWidget {
public:
    explicit ElidedTabWidget(QWidget* parent = nullptr);
};

} // namespace qmk::extends
