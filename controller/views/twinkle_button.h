// The button panel's pieces: CTwinkleButton, a large operation button whose face blinks while
// its operation runs, and CLamp, the lamp in its frame beside Motor and Freq.
#pragma once

#include <QFrame>
#include <QPushButton>

namespace korvex {

class CTwinkleButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr const char* kFontFamily = "Arial Black";
    static constexpr int kFontPointSize = 10;
    static constexpr int kHeightPx = 44;

    explicit CTwinkleButton(const QString& text, QWidget* parent = nullptr);

    // A twinkling button alternates between its lit and its plain face at each blink().
    void setTwinkling(bool on);
    bool twinkling() const { return twinkling_; }
    bool lit() const { return lit_; }
    void blink();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool twinkling_ = false;
    bool lit_ = false;
};

class CLamp : public QFrame {
    Q_OBJECT
public:
    explicit CLamp(QWidget* parent = nullptr);
    void setLit(bool lit);
    bool lit() const { return lit_; }
    QSize sizeHint() const override { return {kSizePx, kSizePx}; }

    static constexpr int kSizePx = 26;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool lit_ = false;
};

}  // namespace korvex
