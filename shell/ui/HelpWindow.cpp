#include "shell/ui/HelpWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);
    m_browser->setFrameShape(QFrame::NoFrame);
    m_browser->document()->setDocumentMargin(18);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(640, 560);
}

bool HelpWindow::showDocument(const QString& title, const QUrl& url)
{
    setWindowTitle(title);
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly)) {
        m_browser->setPlainText(QStringLiteral("This document is not available."));
        return false;
    }
    m_browser->setSearchPaths({QFileInfo(file).absolutePath()});
    m_browser->setMarkdown(QString::fromUtf8(file.readAll()));
    return true;
}
