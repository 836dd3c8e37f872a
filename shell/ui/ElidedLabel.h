#pragma once

#include <QLabel>

// A one-line label that shows as much of its text as fits, cutting it in
// the middle ("Very long … name.mkv"), so the start and the extension of a
// file name stay readable. It never asks for more width than a few letters.
class ElidedLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ElidedLabel)

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return m_fullText; }
    bool isElided() const { return text() != m_fullText; }
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void elide();

    QString m_fullText;
};
