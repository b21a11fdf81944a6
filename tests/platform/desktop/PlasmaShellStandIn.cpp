// Stands in for the Plasma shell on the session bus: appends every script it is asked to
// evaluate to the file named first, and answers with the content of the file named second.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QObject>

class PlasmaShell final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.PlasmaShell")

public:
    PlasmaShell(QString record, QString answer)
        : m_record(std::move(record)), m_answer(std::move(answer)) {}

public slots:
    QString evaluateScript(const QString& script) {
        QFile record(m_record);
        if (record.open(QIODevice::Append))
            record.write(script.toUtf8() + "\n----\n");
        QFile answer(m_answer);
        return answer.open(QIODevice::ReadOnly) ? QString::fromUtf8(answer.readAll()) : QString();
    }

private:
    QString m_record;
    QString m_answer;
};

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 3)
        return 2;
    PlasmaShell shell(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    auto bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/PlasmaShell"), &shell,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.kde.plasmashell")))
        return 1;
    return application.exec();
}

#include "PlasmaShellStandIn.moc"
