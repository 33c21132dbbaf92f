#include "controller/function_key_filter.h"

#include <QKeyEvent>

#include "platform/settings_file.h"

namespace korvex {

FunctionKeyFilter::FunctionKeyFilter(QString settingsPath, QObject* parent)
    : QObject(parent), settingsPath_(std::move(settingsPath)) {}

bool FunctionKeyFilter::swallows(int key) const {
    if (key < Qt::Key_F1 || key > Qt::Key_F12)
        return false;
    return SettingsFile(settingsPath_).readInt(QStringLiteral("Option"), QStringLiteral("NoVKF"), 0) != 0;
}

bool FunctionKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepted here, the key is no shortcut: it goes on as a plain key press, caught below.
        if (swallows(static_cast<QKeyEvent*>(event)->key())) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (swallows(static_cast<QKeyEvent*>(event)->key()))
            return true;
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace korvex
