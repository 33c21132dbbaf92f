// CButtonView: the operation buttons. Their operations come with the machining work; here they
// exist, show their texts and take the refresh request of the card's run events.
#pragma once

#include <QWidget>

class QPushButton;

namespace korvex {

class CButtonView : public QWidget {
    Q_OBJECT
public:
    explicit CButtonView(QWidget* parent = nullptr);

    int refreshCount() const { return refreshCount_; }

public slots:
    // Re-reads the run state and enables the buttons (message 9 of the card's run events).
    void refresh();

private:
    QPushButton* simulate_;
    QPushButton* walk_;
    QPushButton* cut_;
    QPushButton* back_;
    QPushButton* motor_;
    QPushButton* freq_;
    int refreshCount_ = 0;
};

}  // namespace korvex
