#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

// Shows one of the help documents (Markdown) in its own window, which
// Escape, Ctrl+W and its Close button close; its size comes back at the next
// start.
class HelpWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpWindow)

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Loads the document; false (and a short note in the window) when it
    // cannot be read.
    bool showDocument(const QString& title, const QUrl& url);
    QTextBrowser* browser() const { return m_browser; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QTextBrowser* m_browser = nullptr;
};
