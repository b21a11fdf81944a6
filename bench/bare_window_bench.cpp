// The yardstick of window_bench: a window of Qt's own widgets only, the same kinds with the
// same captions on the same pages as the census of the settings window lists them, on plain
// tabs, ending the process at its first paint as window_bench does.
//   bare_window_bench <census file>

#include "FirstPaint.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>

namespace {

QWidget* makeWidget(const QString& qtClass, const QString& caption) {
    if (qtClass == "QLabel")
        return new QLabel(caption);
    if (qtClass == "QPushButton")
        return new QPushButton(caption);
    if (qtClass == "QToolButton") {
        auto* button = new QToolButton;
        button->setText(caption);
        return button;
    }
    if (qtClass == "QCheckBox")
        return new QCheckBox(caption);
    if (qtClass == "QRadioButton")
        return new QRadioButton(caption);
    if (qtClass == "QGroupBox")
        return new QGroupBox(caption);
    if (qtClass == "QLineEdit")
        return new QLineEdit;
    if (qtClass == "QSpinBox" || qtClass == "QAbstractSpinBox")
        return new QSpinBox;
    if (qtClass == "QComboBox")
        return new QComboBox;
    if (qtClass == "QListWidget" || qtClass == "QListView")
        return new QListWidget;
    if (qtClass == "QPlainTextEdit" || qtClass == "QTextEdit")
        return new QPlainTextEdit;
    return new QWidget;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bare_window_bench <census file>\n");
        return 2;
    }
    QApplication application(argc, argv);
    QFile census(QString::fromLocal8Bit(argv[1]));
    if (!census.open(QIODevice::ReadOnly))
        return 1;
    QWidget window;
    auto* frame = new QVBoxLayout(&window);
    auto* tabs = new QTabWidget;
    frame->addWidget(tabs);
    std::vector<QGridLayout*> pages;
    while (!census.atEnd()) {
        const QStringList fields = QString::fromUtf8(census.readLine()).chopped(1).split('\t');
        if (fields.size() != 4)
            continue;
        const int page = fields[0].toInt();
        while (page >= static_cast<int>(pages.size())) {
            auto* pageWidget = new QWidget;
            pages.push_back(new QGridLayout(pageWidget));
            tabs->addTab(pageWidget, QString::number(pages.size()));
        }
        QWidget* widget = makeWidget(fields[1], QString(fields[3]).replace("\\n", "\n"));
        if (page < 0)
            frame->addWidget(widget);
        else
            pages[page]->addWidget(widget, pages[page]->count() / 3, pages[page]->count() % 3);
        widget->setHidden(fields[2] == "1");
    }
    endAtFirstPaint(window);
    window.show();
    return application.exec();
}
