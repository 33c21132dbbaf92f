// The drawing of a code file in the open dialog: the path of its lower contour, fitted to the
// widget, so the operator sees what a file holds before loading it.
#pragma once

#include <QPainterPath>
#include <QString>
#include <QWidget>

namespace korvex {

class CProgramPreview : public QWidget {
    Q_OBJECT
public:
    explicit CProgramPreview(QWidget* parent = nullptr);

    // Reads and parses the file (without a card, without counting steps); a file that is not a
    // program, or larger than kMaxPreviewBytes, shows an empty preview.
    void showFile(const QString& path);
    bool hasDrawing() const { return !path_.isEmpty(); }

    // A preview must never keep the dialog waiting.
    static constexpr qint64 kMaxPreviewBytes = 1 << 20;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPainterPath path_;
    QRectF bounds_;
};

}  // namespace korvex
