#pragma once

#include <QSettings>

namespace zbpg::test {

// Qt takes the folder of its settings files (QtProject.conf, where the file dialogs keep their
// state) from the environment only once: it is pointed at the current home again whenever the
// home moves (TestEnvironment's forEachHome).
inline void followTheHomeWithQtSettings() {
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, folder);
}

} // namespace zbpg::test
