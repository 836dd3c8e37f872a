#include "shell/ui/HelpWindow.h"

#include "shell/ui/CloseKeys.h"
#include "shell/ui/WindowGeometry.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);
    m_browser->setFrameShape(QFrame::NoFrame);
    m_browser->document()->setDocumentMargin(18);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(m_browser, 1);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(12, 0, 12, 0);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    addCloseKeys(*this);
    resize(640, 560);
    restoreWindowGeometry(*this, kHelpWindowGeometryKey);
}

void HelpWindow::hideEvent(QHideEvent* event)
{
    saveWindowGeometry(*this, kHelpWindowGeometryKey);
    QWidget::hideEvent(event);
}

bool HelpWindow::showDocument(const QString& title, const QUrl& url)
{
    setWindowTitle(title);
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly)) {
        m_browser->setPlainText(tr("This document is not available."));
        return false;
    }
    m_browser->setSearchPaths({QFileInfo(file).absolutePath()});
    m_browser->setMarkdown(QString::fromUtf8(file.readAll()));
    return true;
}
