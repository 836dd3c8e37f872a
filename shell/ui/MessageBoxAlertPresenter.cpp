#include "shell/ui/MessageBoxAlertPresenter.h"

#include "foundation/HalvornLib.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

std::function<void(QMessageBox&)>& boxHook()
{
    static std::function<void(QMessageBox&)> hook;
    return hook;
}

// QMessageBox has no text field of its own: put one above the buttons.
QLineEdit* addTextField(QMessageBox& box, const QString& text)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    auto* buttons = box.findChild<QDialogButtonBox*>();
    if (!grid || !buttons)
        return nullptr;
    auto* edit = new QLineEdit(text, &box);
    edit->setMinimumWidth(280);
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(buttons), &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(buttons);
    grid->addWidget(edit, row, 1, 1, grid->columnCount() - 1);
    grid->addWidget(buttons, row + 1, column, rowSpan, columnSpan);
    return edit;
}

} // namespace

void MessageBoxAlertPresenter::setBoxHook(std::function<void(QMessageBox&)> hook)
{
    boxHook() = std::move(hook);
}

int MessageBoxAlertPresenter::present(AlertRequest& request)
{
    QWidget* parent = m_mainWindow && m_mainWindow->isVisible() ? m_mainWindow.data() : nullptr;
    QMessageBox box(parent);
    box.setWindowTitle(appInfo().appName());
    box.setIcon(request.title == QLatin1String("Warning") ||
                        request.title == QLatin1String("Conversion Failed")
                    ? QMessageBox::Warning
                    : QMessageBox::Information);
    box.setText(QStringLiteral("<b>%1</b>").arg(request.title.toHtmlEscaped()));
    box.setTextFormat(Qt::RichText);
    box.setInformativeText(request.message.toHtmlEscaped().replace('\n', QStringLiteral("<br>")));
    box.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);

    const QString defaultTitle =
        request.defaultButton.isEmpty() ? QStringLiteral("OK") : request.defaultButton;
    QPushButton* defaultButton = box.addButton(defaultTitle, QMessageBox::AcceptRole);
    QPushButton* alternateButton = nullptr;
    QPushButton* otherButton = nullptr;
    if (!request.alternateButton.isEmpty())
        alternateButton = box.addButton(request.alternateButton, QMessageBox::RejectRole);
    if (!request.otherButton.isEmpty())
        otherButton = box.addButton(request.otherButton, QMessageBox::ActionRole);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(alternateButton ? static_cast<QAbstractButton*>(alternateButton)
                                        : defaultButton);
    // Message boxes stay narrow on their own; long explanations read better wider.
    if (request.message.size() > 160) {
        if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
            grid->addItem(new QSpacerItem(480, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                          grid->rowCount(), 0, 1, grid->columnCount());
    }
    QLineEdit* edit = request.withTextField ? addTextField(box, request.text) : nullptr;

    if (boxHook())
        boxHook()(box);
    box.exec();
    if (edit)
        request.text = edit->text();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked && clicked == otherButton)
        return kAlertOther;
    if (clicked && clicked == alternateButton)
        return kAlertAlternate;
    return kAlertDefault;
}

void MessageBoxAlertPresenter::activateApplication()
{
    if (!m_mainWindow)
        return;
    if (m_mainWindow->isMinimized())
        m_mainWindow->showNormal();
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}
