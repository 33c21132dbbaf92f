// The "Tips" reminder shown at start-up until the operator ticks "Don't show again".
#pragma once

#include <QDialog>

class QCheckBox;

namespace korvex {

class TipsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr char kObjectName[] = "Tips";

    explicit TipsDialog(QWidget* parent = nullptr);
    bool dontShowAgain() const;
    void setDontShowAgain(bool on);

private:
    QCheckBox* dontShow_;
};

}  // namespace korvex
