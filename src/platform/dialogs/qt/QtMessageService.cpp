#include "platform/dialogs/qt/QtMessageService.h"

#include "text/qt/QtConvert.h"

namespace zbpg::platform {
namespace {

QMessageBox::Icon iconFor(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The buttons in the order shown; the first is the default one.
QList<QMessageBox::StandardButton> buttonsFor(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        break;
    case MessageButtons::OkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MessageButtons::YesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    case MessageButtons::YesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok};
}

// Closing the box without a button counts as the cautious answer.
QMessageBox::StandardButton escapeFor(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        break;
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel:
        return QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

// The program ends lines of its messages with a carriage return alone, as well as with CR LF or
// LF; the box breaks a line only at a line feed.
QString shownText(const std::string& text) {
    QString shown = toQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

} // namespace

std::unique_ptr<QMessageBox> QtMessageService::build(const MessageRequest& request) {
    auto box = std::make_unique<QMessageBox>();
    box->setWindowModality(Qt::ApplicationModal);
    box->setWindowTitle(toQString(request.caption));
    // A message may name a file or value that looks like markup; it is always shown as written.
    box->setTextFormat(Qt::PlainText);
    box->setText(shownText(request.text));
    box->setIcon(iconFor(request.icon));
    const auto buttons = buttonsFor(request.buttons);
    for (const auto button : buttons)
        box->addButton(button);
    box->setDefaultButton(buttons.front());
    box->setEscapeButton(escapeFor(request.buttons));
    return box;
}

MessageAnswer QtMessageService::answerFor(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Cancel;
    }
}

MessageAnswer QtMessageService::answerOf(const QMessageBox& box) {
    QAbstractButton* button = box.clickedButton();
    if (!button)
        button = box.escapeButton();
    return answerFor(box.standardButton(button));
}

MessageAnswer QtMessageService::show(const MessageRequest& request) {
    const auto box = build(request);
    box->exec();
    return answerOf(*box);
}

} // namespace zbpg::platform
