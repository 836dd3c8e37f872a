#include "shell/ui/MessageBoxAlertPresenter.h"

#include "foundation/AlertTexts.h"
#include "foundation/HalvornLib.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
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

// The command line and the tool output of a failure: monospace, selectable,
// one line per line of the output, with a Copy button that leaves the box
// open.
void addDetails(QMessageBox& box, const QString& details)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    auto* buttons = box.findChild<QDialogButtonBox*>();
    if (!grid || !buttons)
        return;
    auto* area = new QPlainTextEdit(&box);
    area->setObjectName(QStringLiteral("alertDetails"));
    area->setReadOnly(true);
    area->setPlainText(details);
    area->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    area->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    area->setMinimumSize(540, 170);
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(buttons), &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(buttons);
    grid->addWidget(area, row, 0, 1, grid->columnCount());
    grid->addWidget(buttons, row + 1, column, rowSpan, columnSpan);

    QPushButton* copy = box.addButton(
        QCoreApplication::translate("MessageBoxAlertPresenter", "Copy"), QMessageBox::ActionRole);
    copy->setObjectName(QStringLiteral("alertCopyButton"));
    copy->setAutoDefault(false);
    // Every button of a message box closes it; this one only copies.
    QObject::disconnect(copy, &QAbstractButton::clicked, nullptr, nullptr);
    QObject::connect(copy, &QAbstractButton::clicked, area,
                     [area] { QGuiApplication::clipboard()->setText(area->toPlainText()); });
}

} // namespace

void MessageBoxAlertPresenter::setBoxHook(std::function<void(QMessageBox&)> hook)
{
    boxHook() = std::move(hook);
}

QMessageBox::Icon MessageBoxAlertPresenter::iconFor(AlertKind kind)
{
    switch (kind) {
    case AlertKind::Warning:
        return QMessageBox::Warning;
    case AlertKind::Critical:
        return QMessageBox::Critical;
    case AlertKind::Automatic:
    case AlertKind::Information:
        break;
    }
    return QMessageBox::Information;
}

int MessageBoxAlertPresenter::present(AlertRequest& request)
{
    if (m_refusing)
        return request.alternateButton.isEmpty() || request.escapeAnswersDefault ? kAlertDefault
                                                                                 : kAlertAlternate;
    QWidget* parent = m_mainWindow && m_mainWindow->isVisible() ? m_mainWindow.data() : nullptr;
    QMessageBox box(parent);
    const QString appName = appInfo().appName();
    box.setWindowTitle(appName);
    box.setIcon(iconFor(alertKindFor(request)));
    box.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);

    // Messages are shown exactly as written (plain text: "&" stays "&").
    // The title is the heading unless it is the application's name, which
    // the window title already shows.
    const AlertParts parts = alertParts(request.message);
    if (!request.title.isEmpty() && request.title != appName) {
        box.setTextFormat(Qt::RichText);
        box.setText(QStringLiteral("<b>%1</b>").arg(alertText(request.title).toHtmlEscaped()));
        box.setInformativeText(alertText(parts.text));
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
            label->setTextFormat(Qt::PlainText);
    } else {
        box.setTextFormat(Qt::PlainText);
        box.setText(alertText(parts.text));
    }

    const QString defaultTitle =
        alertText(request.defaultButton.isEmpty() ? QStringLiteral("OK") : request.defaultButton);
    QPushButton* defaultButton = box.addButton(defaultTitle, QMessageBox::AcceptRole);
    QPushButton* alternateButton = nullptr;
    QPushButton* otherButton = nullptr;
    if (!request.alternateButton.isEmpty())
        alternateButton =
            box.addButton(alertText(request.alternateButton), QMessageBox::RejectRole);
    if (!request.otherButton.isEmpty())
        otherButton = box.addButton(alertText(request.otherButton), QMessageBox::ActionRole);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(alternateButton && !request.escapeAnswersDefault
                            ? static_cast<QAbstractButton*>(alternateButton)
                            : defaultButton);

    if (!parts.details.isEmpty())
        addDetails(box, parts.details);
    // Message boxes stay narrow on their own: a question should fit on two
    // lines, a long explanation reads better wider still.
    const int width = parts.details.isEmpty() && request.message.size() <= 160 ? 420 : 560;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
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
