#pragma once

#include <QApplication>
#include <QTranslator>

namespace zbpg {

// The program's application object: an error that escapes an event handler ends that handler
// only; its text reaches the general error report and the program goes on. Qt's own dialogs and
// buttons speak Japanese, as the program does, whatever the locale.
class Application final : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    QTranslator m_qtTranslations;
};

} // namespace zbpg
