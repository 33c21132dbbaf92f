// The Option/NoVKF filter of Korvex.ini: when the key is not 0, F1 to F12 do nothing in the
// main window, neither as shortcuts nor as keys of the child that has the focus. Read at each
// key, so changing the file takes effect at once.
#pragma once

#include <QObject>
#include <QString>

namespace korvex {

class FunctionKeyFilter : public QObject {
    Q_OBJECT
public:
    // `settingsPath` is Korvex.ini. Installed on the application, so keys are caught before any
    // shortcut and whichever widget has the focus.
    explicit FunctionKeyFilter(QString settingsPath, QObject* parent = nullptr);

    // True when the key is swallowed now.
    bool swallows(int key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString settingsPath_;
};

}  // namespace korvex
