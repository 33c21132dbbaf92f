// The picture panel at the right end of the toolbar band: five pictures of our own, drawn at
// start-up, shown in turn every 1500 ms. It carries no link.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <vector>

namespace tavrel {

class PicturePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 40;
    static constexpr int kPeriodMs = 1500;
    static constexpr int kPictureCount = 5;

    explicit PicturePanel(QWidget* parent = nullptr);
    int current() const { return current_; }
    void advance();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<QImage> pictures_;
    int current_ = 0;
    QTimer timer_;
};

// The splash picture (also drawn, not loaded).
QImage splashPicture();

}  // namespace tavrel
